#include "app/ViewPicture.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "dialogs/PictureSheets.h"

namespace {

constexpr int kGlyphHeight = 12;
constexpr int kDigitWidth = 9;
constexpr int kCommaLeft = 106;
constexpr int kCommaWidth = 3;
constexpr int kGameMarkLeft = 90;  // 局
constexpr int kGameMarkWidth = 13;
constexpr int kRedBandTop = 12;

// Up to 19 digits and a sign, written without touching the heap.
struct CountDigits {
  char text[24];
  int size = 0;
};

// A count is never negative in use; should one wrap below zero all the
// same, its digits are drawn without a sign, since the sheet has no minus.
CountDigits DigitsOf(kestrum::Count64 count) {
  CountDigits digits;
  const auto result = std::to_chars(digits.text, digits.text + sizeof digits.text, count);
  digits.size = static_cast<int>(result.ptr - digits.text);
  if (digits.size > 0 && digits.text[0] == '-') {
    std::memmove(digits.text, digits.text + 1, static_cast<std::size_t>(digits.size - 1));
    --digits.size;
  }
  return digits;
}

// Copies a block of layout pixels, both rectangles given at 1x; the scale
// multiplies every measure. Rows are plain copies: both images are RGB32.
void CopyBlock(QImage& to, QPoint target, const QImage& from, QRect source, int scale) {
  const QRect sheetRect(source.topLeft() * scale, source.size() * scale);
  const QPoint at = target * scale;
  const QRect fits = sheetRect.intersected(from.rect());
  const int width = std::min(fits.width(), to.width() - at.x());
  if (width <= 0 || at.x() < 0 || at.y() < 0) return;
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
  DrawTiles(sheets);
  DrawCount(sheets);
}

void ViewPicture::DrawTiles(const kestrum::PictureSheets& sheets) {
  const int w = content_.tileWidth;
  const int h = content_.tileHeight;
  for (int i = 0; i < kestrum::kHandSize; ++i) {
    const kestrum::TileCode k = content_.hand[static_cast<std::size_t>(i)];
    CopyBlock(image_, QPoint(w * i, 0), sheets.tiles, QRect(kestrum::TileColumn(k) * w, kestrum::TileRow(k) * h, w, h),
              sheets.scale);
  }
}

// The count starts at (14w - 10n - 13) / 2: ten pixels reckoned per digit,
// not the drawn width, so it sits a little left of the exact centre. Every
// window of this program has always placed it there.
void ViewPicture::DrawCount(const kestrum::PictureSheets& sheets) {
  const CountDigits digits = DigitsOf(content_.count);
  const int n = digits.size;
  const int band = content_.tenhou ? kRedBandTop : 0;
  const int y = content_.tileHeight + 1;
  int x = (kestrum::kHandSize * content_.tileWidth - 10 * n - kGameMarkWidth) / 2;
  for (int i = 0; i < n; ++i) {
    const int d = digits.text[i] - '0';
    CopyBlock(image_, QPoint(x, y), sheets.digits, QRect(kDigitWidth * d, band, kDigitWidth, kGlyphHeight), sheets.scale);
    x += kDigitWidth;
    const int left = n - 1 - i;
    if (left != 0 && left % 3 == 0) {
      CopyBlock(image_, QPoint(x, y), sheets.digits, QRect(kCommaLeft, band, kCommaWidth, kGlyphHeight), sheets.scale);
      x += kCommaWidth;
    }
  }
  CopyBlock(image_, QPoint(x, y), sheets.digits, QRect(kGameMarkLeft, band, kGameMarkWidth, kGlyphHeight),
            sheets.scale);
}
