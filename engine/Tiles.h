#pragma once
// The tile vocabulary shared by every part of Kestrum: tile codes, the
// two-byte tile names, the wall and the hand.

#include <array>
#include <cstdint>
#include <string_view>

namespace kestrum {

// 1..9 characters, 10..18 circles, 19..27 bamboo, 28..34 East, South, West,
// North, White, Green, Red; 0 marks an empty slot.
using TileCode = std::int32_t;

// Every game count. Signed so that stored text parses and compares as the
// program always has; never negative in use.
using Count64 = std::int64_t;

inline constexpr int kTileKinds = 34;
inline constexpr int kCopiesPerKind = 4;
inline constexpr int kWallSize = kTileKinds * kCopiesPerKind;  // 136
inline constexpr int kHandSize = 14;

using Wall = std::array<TileCode, kWallSize>;
using Hand = std::array<TileCode, kHandSize>;

// Row and column of a tile in the tile sheet: 0 characters, 1 circles,
// 2 bamboo, 3 honours; the column is the rank less one.
constexpr int TileRow(TileCode code) { return (code - 1) / 9; }
constexpr int TileColumn(TileCode code) { return (code - 1) % 9; }

// Names indexed by tile code, each exactly two bytes of Shift_JIS: a suit
// tile is digit + "m"/"p"/"s", an honour one double-byte character. Index 0
// is "00". The honours are written as escapes so that the bytes do not depend
// on the source file's encoding.
using TileNameTable = std::array<std::string_view, kTileKinds + 1>;
const TileNameTable& TileNames();

// Thirteen orphans with a pair of red dragons: what the view shows until the
// first game replaces it.
inline constexpr Hand kFixedStartHand = {1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34, 34};

// 1,1,1,1,2,2,2,2,...,34,34,34,34, in whatever integer type the wall holds.
template <class Code>
void FillWall(std::array<Code, kWallSize>& wall) {
  for (int i = 0; i < kWallSize; ++i) wall[i] = static_cast<Code>(i / kCopiesPerKind + 1);
}

// The fourteen names run together: 28 bytes of Shift_JIS.
std::string HandText(const Hand& hand);

}  // namespace kestrum
