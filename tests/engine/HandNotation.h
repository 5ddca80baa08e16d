#pragma once
// Hands written as in a player's notes: "1m 1m 2m 3m ... East East". The
// honours are spelled out in English so that the test tables do not depend
// on the source file's encoding.

#include "engine/Tiles.h"

#include <algorithm>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrum::testing {

inline TileCode ParseTile(std::string_view name) {
  static constexpr std::string_view kHonours[] = {"East", "South", "West", "North", "White", "Green", "Red"};
  for (int i = 0; i < 7; ++i)
    if (name == kHonours[i]) return 28 + i;
  if (name.size() == 2 && name[0] >= '1' && name[0] <= '9') {
    const int rank = name[0] - '0';
    if (name[1] == 'm') return rank;
    if (name[1] == 'p') return 9 + rank;
    if (name[1] == 's') return 18 + rank;
  }
  throw std::invalid_argument("unknown tile " + std::string(name));
}

// Fourteen names separated by blanks; the result is sorted as a deal is.
inline Hand ParseHand(std::string_view text) {
  std::istringstream in{std::string(text)};
  Hand hand{};
  int count = 0;
  for (std::string name; in >> name;) {
    if (count == kHandSize) throw std::invalid_argument("more than fourteen tiles");
    hand[count++] = ParseTile(name);
  }
  if (count != kHandSize) throw std::invalid_argument("fewer than fourteen tiles");
  std::sort(hand.begin(), hand.end());
  return hand;
}

}  // namespace kestrum::testing
