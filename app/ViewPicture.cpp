#include "app/ViewPicture.h"

#include <algorithm>
#include <cstring>

#include "dialogs/PictureSheets.h"

namespace {

// Copies a block in device pixels. Rows are plain copies: both images are
// RGB32.
void CopyBlock(QImage& to, const QImage& from, const kestrum::SheetBlock& block) {
  const QRect& fits = block.source;
  const QPoint& at = block.target;
  const int width = std::min(fits.width(), to.width() - at.x());
  if (width <= 0) return;
  const auto rowBytes = static_cast<std::size_t>(width) * sizeof(QRgb);
  for (int row = 0; row < fits.height() && at.y() + row < to.height(); ++row) {
    const auto* sourceRow = reinterpret_cast<const QRgb*>(from.constScanLine(fits.top() + row)) + fits.left();
    auto* targetRow = reinterpret_cast<QRgb*>(to.scanLine(at.y() + row)) + at.x();
    std::memcpy(targetRow, sourceRow, rowBytes);
  }
}

}  // namespace

void ViewPicture::Update(const kestrum::PictureSheets& sheets, const PictureContent& content, QColor ground) {
  const bool sameSheets = image_.width() == kWidth * sheets.scale;
  if (sameSheets && content == content_ && ground.rgb() == ground_) return;
  if (!sameSheets) {
    image_ = QImage(kWidth * sheets.scale, kHeight * sheets.scale, QImage::Format_RGB32);
    image_.setDevicePixelRatio(sheets.scale);
  }
  content_ = content;
  ground_ = ground.rgb();
  Draw(sheets);
}

void ViewPicture::Draw(const kestrum::PictureSheets& sheets) {
  image_.fill(ground_);
  const PictureLayout layout(content_);
  for (const kestrum::SheetBlock& block : layout.Blocks()) {
    const QImage& sheet = SheetImage(sheets, block.sheet);
    CopyBlock(image_, sheet, kestrum::DeviceBlock(block, sheets.scale, sheet.size()));
  }
}
