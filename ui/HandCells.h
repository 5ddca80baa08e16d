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

// The sheet cell of a two-byte tile name; nothing for a piece that names no
// tile (too short, or not a name of the tile table).
std::optional<TileCell> LookUpTileCell(std::string_view piece);

// Where the fourteen cells of a hand text are cut from the sheet. A piece
// that names no tile repeats the cell before it; before any tile has been
// named that is the tile back, so a damaged text shows backs, not a guess.
std::array<TileCell, kHandSize> HandCells(std::string_view handText);

}  // namespace kestrum::ui
