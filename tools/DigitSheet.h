#pragma once

class QImage;

namespace kestrum::art {

inline constexpr int kDigitSheetWidth = 110;
inline constexpr int kDigitBandHeight = 12;
inline constexpr int kDigitWidth = 9;
inline constexpr int kKyokuLeft = 90;
inline constexpr int kKyokuWidth = 13;
inline constexpr int kCommaLeft = 106;
inline constexpr int kCommaWidth = 3;

// The 110 x 24 digit sheet: digits 0-9, the counter word 局 and a
// thousands comma, once in teal (upper band) and once in red (lower band).
// At scale 2 the sheet for scaled screens, 220 x 48, every position and
// width doubled and the glyphs drawn at that size.
QImage PaintDigitSheet(int scale = 1);

}  // namespace kestrum::art
