#pragma once
// Which cell of the tile sheet each of a logged hand's fourteen tiles is
// cut from, by the tile names of its text.

#include <array>
#include <optional>
#include <string_view>

#include "engine/Tiles.h"

namespace kestrum::ui {

struct TileCell {
  int column = 0;
  int row = 0;
  bool operator==(const TileCell&) const = default;
};

inline constexpr TileCell kTileBackCell{7, 3};
inline constexpr int kHandTileWidth = 20;
inline constexpr int kHandTileHeight = 28;

// The sheet cell of a two-byte tile name; nothing for a piece that names no
// tile (too short, or not a name of the tile table).
std::optional<TileCell> LookUpTileCell(std::string_view piece);

// Where the fourteen cells of a hand text are cut from the sheet. A piece
// that names no tile repeats the cell before it; before any tile has been
// named that is the tile back, so a damaged text shows backs, not a guess.
std::array<TileCell, kHandSize> HandCells(std::string_view handText);

struct HandOrigin {
  int x;
  int y;
  bool operator==(const HandOrigin&) const = default;
};

// Top-left pixel of the log browser's hand: centred between the group box's
// edges (in pixels), and 220 pixels down in the layout's own font, whose
// base height unit is 12 pixels. In a taller font the hand moves down in
// proportion (238 at the usual 13), since the text rows grow with the font
// while a fixed 220 would stay put: the last row, [最長局数] at 130 units,
// then spans 211 to 224 pixels, and a hand at 220 would be drawn over it.
HandOrigin TenhouHandOrigin(int groupLeft, int groupRight, int baseUnitY);

}  // namespace kestrum::ui
