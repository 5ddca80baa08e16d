#include "DigitSheet.h"

#include "PixelMask.h"

#include <QColor>
#include <QImage>

#include <array>

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

}  // namespace

QImage PaintDigitSheet() {
    QImage sheet(kDigitSheetWidth, 2 * kDigitBandHeight, QImage::Format_RGB32);
    sheet.fill(QColor(255, 255, 255));
    PaintBand(sheet, 0, kTeal);
    PaintBand(sheet, kDigitBandHeight, kCountRed);
    return sheet;
}

}  // namespace kestrum::art
