#include "ui/ViewLayout.h"

#include <charconv>
#include <cstring>

namespace kestrum::ui {

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
CountDigits DigitsOf(Count64 count) {
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

ViewLayout::ViewLayout(const ViewContent& content) {
  AddTiles(content);
  AddCount(content);
}

void ViewLayout::Add(int sheet, int sourceX, int sourceY, int width, int height, int targetX, int targetY) {
  blocks_[size_++] = {sheet, sourceX, sourceY, width, height, targetX, targetY};
}

void ViewLayout::AddTiles(const ViewContent& content) {
  const int w = content.tileWidth;
  const int h = content.tileHeight;
  for (int i = 0; i < kHandSize; ++i) {
    const TileCode k = content.hand[static_cast<std::size_t>(i)];
    Add(kTileSheet, TileColumn(k) * w, TileRow(k) * h, w, h, w * i, 0);
  }
}

// The count starts at (14w - 10n - 13) / 2: ten pixels reckoned per digit,
// not the drawn width, so it sits a little left of the exact centre. Every
// window of this program has always placed it there.
void ViewLayout::AddCount(const ViewContent& content) {
  const CountDigits digits = DigitsOf(content.count);
  const int n = digits.size;
  const int band = content.tenhou ? kRedBandTop : 0;
  const int y = content.tileHeight + 1;
  int x = (kHandSize * content.tileWidth - 10 * n - kGameMarkWidth) / 2;
  for (int i = 0; i < n; ++i) {
    const int d = digits.text[i] - '0';
    Add(kDigitSheet, kDigitWidth * d, band, kDigitWidth, kGlyphHeight, x, y);
    x += kDigitWidth;
    const int left = n - 1 - i;
    if (left != 0 && left % 3 == 0) {
      Add(kDigitSheet, kCommaLeft, band, kCommaWidth, kGlyphHeight, x, y);
      x += kCommaWidth;
    }
  }
  Add(kDigitSheet, kGameMarkLeft, band, kGameMarkWidth, kGlyphHeight, x, y);
}

}  // namespace kestrum::ui
