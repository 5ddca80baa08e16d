#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "engine/Tiles.h"

namespace kestrum {

inline constexpr int kStatusBlockSize = 512;

// The text mirrored into the status block after every game, Shift_JIS:
// "1" or "0", "*", the 28 bytes of the hand's names, "+", the run length in
// decimal. The zero byte that ends it is the writer's.
std::string StatusText(bool tenhou, const Hand& hand, const TileNameTable& names, Count64 sinceCnt);

// The same text into `text`, replacing what it held: a string kept across
// games keeps its capacity, so the run writes its text without allocating.
void WriteStatusText(std::string& text, bool tenhou, const Hand& hand, const TileNameTable& names, Count64 sinceCnt);

// A status text read back by a follower of the block. Only a text that
// StatusText could have written parses: one result digit, fourteen tile
// names (code 0's "00" included) and a run length of plain digits that fits
// a count.
struct StatusReading {
  bool tenhou = false;
  Hand hand{};
  Count64 sinceCnt = 0;
};

std::optional<StatusReading> ParseStatusText(std::string_view text);

}  // namespace kestrum
