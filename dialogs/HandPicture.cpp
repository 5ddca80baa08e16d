#include "dialogs/HandPicture.h"

#include <QPainter>

#include "dialogs/DialogResources.h"
#include "engine/Tiles.h"

namespace kestrum {

std::optional<TileCell> LookUpTileCell(std::string_view piece) {
  const TileNameTable& names = TileNames();
  for (TileCode code = 1; code <= kTileKinds; ++code) {
    if (piece == names[code]) return TileCell{TileColumn(code), TileRow(code)};
  }
  return std::nullopt;
}

std::array<TileCell, 14> HandCells(std::string_view handText) {
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

HandPicture::HandPicture(QWidget* parent) : QWidget(parent) {
  EnsureDialogResources();
  sheet_.load(QStringLiteral(":/kestrum/tiles.png"));
  setFixedSize(kHandSize * kTileWidth, kTileHeight);
}

void HandPicture::SetHandText(std::optional<std::string> handText) {
  handText_ = std::move(handText);
  update();
}

void HandPicture::paintEvent(QPaintEvent*) {
  if (!handText_ || sheet_.isNull()) return;
  QPainter painter(this);
  const std::array<TileCell, kHandSize> cells = HandCells(*handText_);
  for (int i = 0; i < kHandSize; ++i) {
    const QRect source(cells[i].column * kTileWidth, cells[i].row * kTileHeight, kTileWidth, kTileHeight);
    painter.drawPixmap(QPoint(i * kTileWidth, 0), sheet_, source);
  }
}

}  // namespace kestrum
