#include "dialogs/HandPicture.h"

#include <QPainter>

#include "dialogs/PictureSheets.h"
#include "engine/Tiles.h"

namespace kestrum {

HandPicture::HandPicture(QWidget* parent) : QWidget(parent) { setFixedSize(kHandSize * kTileWidth, kTileHeight); }

void HandPicture::SetHandText(std::optional<std::string> handText) {
  handText_ = std::move(handText);
  update();
}

// Tiles come from the sheets that suit the screen: pixel for pixel at 1x
// and 2x, the 2x sheet drawn smaller with smoothing in between.
void HandPicture::paintEvent(QPaintEvent*) {
  if (!handText_) return;
  const qreal ratio = devicePixelRatioF();
  const PictureSheets& sheets = PictureSheets::OfScale(PictureSheets::ScaleForRatio(ratio));
  if (sheets.tiles.isNull()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != sheets.scale);
  const std::array<TileCell, kHandSize> cells = HandCells(*handText_);
  const int s = sheets.scale;
  for (int i = 0; i < kHandSize; ++i) {
    const QRect source(cells[i].column * kTileWidth * s, cells[i].row * kTileHeight * s, kTileWidth * s,
                       kTileHeight * s);
    painter.drawImage(QRect(i * kTileWidth, 0, kTileWidth, kTileHeight), sheets.tiles, source);
  }
}

}  // namespace kestrum
