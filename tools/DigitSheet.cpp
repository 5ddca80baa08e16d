#include "DigitSheet.h"

#include "GlyphRaster.h"
#include "PixelMask.h"

#include <QColor>
#include <QImage>

#include <array>
#include <cmath>
#include <vector>

namespace kestrum::art {

namespace {

const QColor kTeal(0, 128, 128);
const QColor kCountRed(255, 0, 0);

// Bold digits, 7 x 12, drawn one pixel in from the left of their 9-pixel
// cell so that neighbours keep a two-pixel gap.
const std::array<PixelMask, 10>& Digits() {
    static const std::array<PixelMask, 10> digits = {
        PixelMask::FromRows({".#####.", "#######", "##...##", "##...##", "##...##", "##...##",
                             "##...##", "##...##", "##...##", "##...##", "#######", ".#####."}),
        PixelMask::FromRows({"...##..", "..###..", ".####..", "...##..", "...##..", "...##..",
                             "...##..", "...##..", "...##..", "...##..", ".######", ".######"}),
        PixelMask::FromRows({".#####.", "#######", "##...##", ".....##", "....###", "...###.",
                             "..###..", ".###...", "###....", "##.....", "#######", "#######"}),
        PixelMask::FromRows({".#####.", "#######", "##...##", ".....##", ".....##", "..####.",
                             "..####.", ".....##", ".....##", "##...##", "#######", ".#####."}),
        PixelMask::FromRows({"....##.", "...###.", "..####.", ".##.##.", "##..##.", "##..##.",
                             "#######", "#######", "....##.", "....##.", "....##.", "....##."}),
        PixelMask::FromRows({"#######", "#######", "##.....", "##.....", "######.", "#######",
                             ".....##", ".....##", ".....##", "##...##", "#######", ".#####."}),
        PixelMask::FromRows({".#####.", "#######", "##...##", "##.....", "######.", "#######",
                             "##...##", "##...##", "##...##", "##...##", "#######", ".#####."}),
        PixelMask::FromRows({"#######", "#######", "##...##", "....##.", "....##.", "...##..",
                             "...##..", "..##...", "..##...", "..##...", "..##...", "..##..."}),
        PixelMask::FromRows({".#####.", "#######", "##...##", "##...##", "##...##", ".#####.",
                             ".#####.", "##...##", "##...##", "##...##", "#######", ".#####."}),
        PixelMask::FromRows({".#####.", "#######", "##...##", "##...##", "##...##", "#######",
                             ".######", ".....##", ".....##", "##...##", "#######", ".#####."}),
    };
    return digits;
}

// 局 in 13 x 12: the 尸 frame over the hooked stroke that holds 口.
const PixelMask& Kyoku() {
    static const PixelMask glyph = PixelMask::FromRows({
        ".###########.",
        ".##.......##.",
        ".###########.",
        ".##..........",
        ".##.########.",
        ".##.......##.",
        ".##.#####.##.",
        ".##.##.##.##.",
        "##..##.##.##.",
        "##..#####.##.",
        "##........##.",
        "#.......###..",
    });
    return glyph;
}

// The comma hugs the digit before it, as a printed one does.
const PixelMask& Comma() {
    static const PixelMask glyph = PixelMask::FromRows({
        "...", "...", "...", "...", "...", "...", "...", "...", "##.", "##.", ".#.", "#..",
    });
    return glyph;
}

void PaintBand(QImage& sheet, int top, QColor colour) {
    for (int d = 0; d < 10; ++d) Stamp(sheet, QPoint(kDigitWidth * d + 1, top), Digits()[static_cast<std::size_t>(d)], colour);
    Stamp(sheet, QPoint(kKyokuLeft, top), Kyoku(), colour);
    Stamp(sheet, QPoint(kCommaLeft, top), Comma(), colour);
}

// The glyphs twice as large come from the gothic face, bold; the digits
// one pixel heavier again, since the small ones' strokes are two pixels of
// seven and these keep that weight at 24 pixels with their counters open.
struct LargeGlyphs {
    std::vector<PixelMask> digits;
    PixelMask kyoku;
    PixelMask comma;
};

// The gothic zero carries a slash, which the small zero does not; this one
// is drawn as the small one is, a rounded box, here 14 x 24 with strokes
// four pixels thick, from the superellipse |x/a|^4 + |y/b|^4 = 1.
PixelMask LargeZero(int height) {
    const int width = 14;
    PixelMask zero(width, height);
    const auto inside = [](double x, double y, double a, double b) {
        return std::pow(std::abs(x / a), 4) + std::pow(std::abs(y / b), 4) <= 1.0;
    };
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const double cx = x - (width - 1) / 2.0;
            const double cy = y - (height - 1) / 2.0;
            zero.SetInk(x, y, inside(cx, cy, width / 2.0, height / 2.0) &&
                                  !inside(cx, cy, width / 2.0 - 4, height / 2.0 - 4));
        }
    }
    return zero;
}

std::vector<PixelMask> PlainDigits(std::vector<PixelMask> digits) {
    for (PixelMask& digit : digits) digit = digit.Thickened();
    digits[0] = LargeZero(digits[8].Height());
    return digits;
}

const LargeGlyphs& Large() {
    static const LargeGlyphs glyphs{
        PlainDigits(RasterGlyphsToFit(QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                                QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                                                QStringLiteral("6"), QStringLiteral("7"), QStringLiteral("8"),
                                                QStringLiteral("9")},
                                    13, 23, true)),
        RasterGlyphToFit(QStringLiteral("局"), 26, 24, true),
        RasterGlyphToFit(QStringLiteral(","), 5, 7, true).Thickened(),
    };
    return glyphs;
}

// Every measure of the small band doubled: digit cells 18 wide with the
// glyph two pixels in, 局 at 180, the comma at 212 hugging the digit
// before it and sitting on the baseline.
void PaintLargeBand(QImage& sheet, int top, QColor colour) {
    const LargeGlyphs& glyphs = Large();
    const int height = 2 * kDigitBandHeight;
    for (int d = 0; d < 10; ++d) {
        StampCentred(sheet, QPoint(2 * kDigitWidth * d + 2, top), 14, height, glyphs.digits[static_cast<std::size_t>(d)],
                     colour);
    }
    StampCentred(sheet, QPoint(2 * kKyokuLeft, top), 2 * kKyokuWidth, height, glyphs.kyoku, colour);
    Stamp(sheet, QPoint(2 * kCommaLeft, top + height - glyphs.comma.Height()), glyphs.comma, colour);
}

}  // namespace

QImage PaintDigitSheet(int scale) {
    QImage sheet(kDigitSheetWidth * scale, 2 * kDigitBandHeight * scale, QImage::Format_RGB32);
    sheet.fill(QColor(255, 255, 255));
    if (scale == 2) {
        PaintLargeBand(sheet, 0, kTeal);
        PaintLargeBand(sheet, 2 * kDigitBandHeight, kCountRed);
        return sheet;
    }
    PaintBand(sheet, 0, kTeal);
    PaintBand(sheet, kDigitBandHeight, kCountRed);
    return sheet;
}

}  // namespace kestrum::art
