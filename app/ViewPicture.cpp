#include "app/ViewPicture.h"

#include <QPainter>

#include <string>

namespace {

constexpr int kGlyphHeight = 12;
constexpr int kDigitWidth = 9;
constexpr int kCommaLeft = 106;
constexpr int kCommaWidth = 3;
constexpr int kGameMarkLeft = 90;  // 局
constexpr int kGameMarkWidth = 13;
constexpr int kRedBandTop = 12;

// The decimal digits of the count. A count is never negative in use; should
// one wrap below zero all the same, its digits are drawn without a sign,
// since the sheet has no minus glyph.
std::string CountDigits(kestrum::Count64 count) {
  std::string digits = std::to_string(count);
  if (!digits.empty() && digits.front() == '-') digits.erase(0, 1);
  return digits;
}

void CopyBlock(QPainter& painter, const QPixmap& sheet, QPoint target, QRect source) {
  painter.drawPixmap(QRect(target, source.size()), sheet, source);
}

void PaintTiles(QPainter& painter, const QPixmap& sheet, const PictureContent& content) {
  const int w = content.tileWidth;
  const int h = content.tileHeight;
  for (int i = 0; i < kestrum::kHandSize; ++i) {
    const kestrum::TileCode k = content.hand[static_cast<std::size_t>(i)];
    CopyBlock(painter, sheet, QPoint(w * i, 0), QRect(kestrum::TileColumn(k) * w, kestrum::TileRow(k) * h, w, h));
  }
}

// The count starts at (14w - 10n - 13) / 2: ten pixels reckoned per digit,
// not the drawn width, so it sits a little left of the exact centre. Every
// window of this program has always placed it there.
void PaintCount(QPainter& painter, const QPixmap& sheet, const PictureContent& content) {
  const std::string digits = CountDigits(content.count);
  const int n = static_cast<int>(digits.size());
  const int band = content.tenhou ? kRedBandTop : 0;
  const int y = content.tileHeight + 1;
  int x = (kestrum::kHandSize * content.tileWidth - 10 * n - kGameMarkWidth) / 2;
  for (int i = 0; i < n; ++i) {
    const int d = digits[static_cast<std::size_t>(i)] - '0';
    CopyBlock(painter, sheet, QPoint(x, y), QRect(kDigitWidth * d, band, kDigitWidth, kGlyphHeight));
    x += kDigitWidth;
    const int left = n - 1 - i;
    if (left != 0 && left % 3 == 0) {
      CopyBlock(painter, sheet, QPoint(x, y), QRect(kCommaLeft, band, kCommaWidth, kGlyphHeight));
      x += kCommaWidth;
    }
  }
  CopyBlock(painter, sheet, QPoint(x, y), QRect(kGameMarkLeft, band, kGameMarkWidth, kGlyphHeight));
}

}  // namespace

PictureSheets PictureSheets::Load() {
  return {QPixmap(QStringLiteral(":/kestrum/tiles.png")), QPixmap(QStringLiteral(":/kestrum/digits.png"))};
}

void PaintViewPicture(QPainter& painter, const PictureSheets& sheets, const PictureContent& content) {
  painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
  PaintTiles(painter, sheets.tiles, content);
  PaintCount(painter, sheets.digits, content);
}
