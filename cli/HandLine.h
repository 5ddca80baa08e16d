#pragma once
// Reading one hand of fourteen tiles from a line of text, as people type
// and paste them, in any order, with or without blanks, in any mixture of:
//   - tile names "1m".."9m", "1p".."9p", "1s".."9s" and the seven honours
//     東 南 西 北 白 発 中, each honour in UTF-8 or in Shift_JIS;
//   - the compact notation of the riichi community: digits followed by the
//     suit letter they share, "123m456p789s11122z", honours 1z..7z in the
//     order East, South, West, North, White, Green, Red, and 0 for the red
//     five ("0p" is a 5p).
// Plain code without allocation on a good line, so that a file of millions
// of hands reads quickly.

#include <string>
#include <string_view>

#include "engine/Tiles.h"

namespace kestrum {

struct HandLineResult {
  bool ok = false;
  Hand hand{};         // sorted ascending when ok; a hand of thirteen ends in 0
  int tiles = 0;       // 14, or 13 where thirteen are allowed
  std::string error;   // why the line is no hand, when not ok
};

enum class HandSizes { kFourteen, kThirteenOrFourteen };

HandLineResult ParseHandLine(std::string_view line, HandSizes sizes = HandSizes::kFourteen);

}  // namespace kestrum
