#include "ui/HandCells.h"

namespace kestrum::ui {

std::optional<TileCell> LookUpTileCell(std::string_view piece) {
  const TileNameTable& names = TileNames();
  for (TileCode code = 1; code <= kTileKinds; ++code) {
    if (piece == names[code]) return TileCell{TileColumn(code), TileRow(code)};
  }
  return std::nullopt;
}

std::array<TileCell, kHandSize> HandCells(std::string_view handText) {
  std::array<TileCell, kHandSize> cells{};
  TileCell current = kTileBackCell;
  for (std::size_t i = 0; i < cells.size(); ++i) {
    const std::size_t at = 2 * i;
    const std::string_view piece = at < handText.size() ? handText.substr(at, 2) : std::string_view{};
    if (const auto found = LookUpTileCell(piece)) current = *found;
    cells[i] = current;
  }
  return cells;
}

HandOrigin TenhouHandOrigin(int groupLeft, int groupRight, int baseUnitY) {
  constexpr int kHandWidth = kHandSize * kHandTileWidth;
  return {(groupLeft + groupRight) / 2 - kHandWidth / 2, (220 * baseUnitY + 6) / 12};
}

}  // namespace kestrum::ui
