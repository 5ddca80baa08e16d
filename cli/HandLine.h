#pragma once
// Reading one hand of fourteen tile names from a line of text, as people
// type them: "1m".."9m", "1p".."9p", "1s".."9s" and the seven honours
// 東 南 西 北 白 発 中, each honour in UTF-8 or in Shift_JIS (both may even be
// mixed), in any order, with or without blanks between the names. Plain code
// without allocation, so that a file of millions of hands reads quickly.

#include <string>
#include <string_view>

#include "engine/Tiles.h"

namespace kestrum {

struct HandLineResult {
  bool ok = false;
  Hand hand{};         // sorted ascending when ok
  std::string error;   // why the line is no hand, when not ok
};

HandLineResult ParseHandLine(std::string_view line);

}  // namespace kestrum
