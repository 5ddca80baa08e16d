#include "app/PictureLayout.h"

#include "dialogs/PictureSheets.h"

#include <QImage>

#include <charconv>
#include <cstring>

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

}  // namespace

const QImage& SheetImage(const kestrum::PictureSheets& sheets, int sheet) {
  return sheet == kTileSheet ? sheets.tiles : sheets.digits;
}

PictureLayout::PictureLayout(const PictureContent& content) {
  AddTiles(content);
  AddCount(content);
}

void PictureLayout::Add(int sheet, QRect source, QPoint target) { blocks_[size_++] = {sheet, source, target}; }

void PictureLayout::AddTiles(const PictureContent& content) {
  const int w = content.tileWidth;
  const int h = content.tileHeight;
  for (int i = 0; i < kestrum::kHandSize; ++i) {
    const kestrum::TileCode k = content.hand[static_cast<std::size_t>(i)];
    Add(kTileSheet, QRect(kestrum::TileColumn(k) * w, kestrum::TileRow(k) * h, w, h), QPoint(w * i, 0));
  }
}

// The count starts at (14w - 10n - 13) / 2: ten pixels reckoned per digit,
// not the drawn width, so it sits a little left of the exact centre. Every
// window of this program has always placed it there.
void PictureLayout::AddCount(const PictureContent& content) {
  const CountDigits digits = DigitsOf(content.count);
  const int n = digits.size;
  const int band = content.tenhou ? kRedBandTop : 0;
  const int y = content.tileHeight + 1;
  int x = (kestrum::kHandSize * content.tileWidth - 10 * n - kGameMarkWidth) / 2;
  for (int i = 0; i < n; ++i) {
    const int d = digits.text[i] - '0';
    Add(kDigitSheet, QRect(kDigitWidth * d, band, kDigitWidth, kGlyphHeight), QPoint(x, y));
    x += kDigitWidth;
    const int left = n - 1 - i;
    if (left != 0 && left % 3 == 0) {
      Add(kDigitSheet, QRect(kCommaLeft, band, kCommaWidth, kGlyphHeight), QPoint(x, y));
      x += kCommaWidth;
    }
  }
  Add(kDigitSheet, QRect(kGameMarkLeft, band, kGameMarkWidth, kGlyphHeight), QPoint(x, y));
}
