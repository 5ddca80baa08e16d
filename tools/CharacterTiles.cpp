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

// Sets the scale x scale square of sheet pixels that stands for the layout
// pixel (x, y) of a cell.
void PutScaled(QImage& sheet, QPoint cell, int x, int y, int scale, QRgb colour) {
    for (int dy = 0; dy < scale; ++dy)
        for (int dx = 0; dx < scale; ++dx) sheet.setPixel(cell + QPoint(x * scale + dx, y * scale + dy), colour);
}

void PaintWhiteDragon(QImage& sheet, QPoint cell, int scale) {
    // A plain face with a thin blue frame, as the white dragon usually is.
    const QRgb blue = kBlue.rgb();
    for (int x = 4; x <= 15; ++x) {
        PutScaled(sheet, cell, x, 5, scale, blue);
        PutScaled(sheet, cell, x, 22, scale, blue);
    }
    for (int y = 5; y <= 22; ++y) {
        PutScaled(sheet, cell, 4, y, scale, blue);
        PutScaled(sheet, cell, 15, y, scale, blue);
    }
}

}  // namespace

void PaintCharacterTile(QImage& sheet, QPoint cell, int rank, int scale) {
    PaintBlankFace(sheet, cell, scale);
    // Numeral in the upper third, 萬 in red below it.
    StampCentred(sheet, cell + QPoint(1, 2) * scale, 18 * scale, 10 * scale, NumeralGlyph(rank, scale), kInk);
    StampCentred(sheet, cell + QPoint(1, 13) * scale, 18 * scale, 13 * scale, ManGlyph(scale), kRed);
}

void PaintHonourTile(QImage& sheet, QPoint cell, int honour, int scale) {
    PaintBlankFace(sheet, cell, scale);
    if (honour == kWhiteDragon) {
        PaintWhiteDragon(sheet, cell, scale);
        return;
    }
    const QColor colour = honour == kGreenDragon ? kGreen : honour == kRedDragon ? kRed : kInk;
    StampCentred(sheet, cell + QPoint(1, 5) * scale, 18 * scale, 18 * scale, HonourGlyph(honour, scale), colour);
}

}  // namespace kestrum::art
