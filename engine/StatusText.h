#pragma once

#include <string>

#include "engine/Tiles.h"

namespace kestrum {

inline constexpr int kStatusBlockSize = 512;

// The text mirrored into the status block after every game, Shift_JIS:
// "1" or "0", "*", the 28 bytes of the hand's names, "+", the run length in
// decimal. The zero byte that ends it is the writer's.
std::string StatusText(bool tenhou, const Hand& hand, const TileNameTable& names, Count64 sinceCnt);

}  // namespace kestrum
