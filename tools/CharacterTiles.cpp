#include "Palette.h"
#include "PixelMask.h"
#include "TileFaces.h"
#include "TileGlyphs.h"

#include <QImage>

namespace kestrum::art {

namespace {

constexpr int kWhiteDragon = 4;
constexpr int kGreenDragon = 5;
constexpr int kRedDragon = 6;

void PaintWhiteDragon(QImage& sheet, QPoint cell) {
    // A plain face with a thin blue frame, as the white dragon usually is.
    const QRgb blue = kBlue.rgb();
    for (int x = 4; x <= 15; ++x) {
        sheet.setPixel(cell + QPoint(x, 5), blue);
        sheet.setPixel(cell + QPoint(x, 22), blue);
    }
    for (int y = 5; y <= 22; ++y) {
        sheet.setPixel(cell + QPoint(4, y), blue);
        sheet.setPixel(cell + QPoint(15, y), blue);
    }
}

}  // namespace

void PaintCharacterTile(QImage& sheet, QPoint cell, int rank) {
    PaintBlankFace(sheet, cell);
    // Numeral in the upper third, 萬 in red below it.
    StampCentred(sheet, cell + QPoint(1, 2), 18, 10, NumeralGlyph(rank), kInk);
    StampCentred(sheet, cell + QPoint(1, 13), 18, 13, ManGlyph(), kRed);
}

void PaintHonourTile(QImage& sheet, QPoint cell, int honour) {
    PaintBlankFace(sheet, cell);
    if (honour == kWhiteDragon) {
        PaintWhiteDragon(sheet, cell);
        return;
    }
    const QColor colour = honour == kGreenDragon ? kGreen : honour == kRedDragon ? kRed : kInk;
    StampCentred(sheet, cell + QPoint(1, 5), 18, 18, HonourGlyph(honour), colour);
}

}  // namespace kestrum::art
