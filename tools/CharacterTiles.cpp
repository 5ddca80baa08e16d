#include "GlyphRaster.h"
#include "Palette.h"
#include "PixelMask.h"
#include "TileFaces.h"

#include <QImage>
#include <QString>

namespace kestrum::art {

namespace {

const char16_t* const kNumerals[9] = {u"一", u"二", u"三", u"四", u"五", u"六", u"七", u"八", u"九"};
const char16_t* const kHonours[7] = {u"東", u"南", u"西", u"北", u"白", u"発", u"中"};

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
    const PixelMask numeral = RasterGlyphToFit(QString::fromUtf16(kNumerals[rank - 1]), 14, 9);
    StampCentred(sheet, cell + QPoint(2, 2), 16, 9, numeral, kInk);
    const PixelMask man = RasterGlyphToFit(QStringLiteral("萬"), 16, 14);
    StampCentred(sheet, cell + QPoint(2, 12), 16, 14, man, kRed);
}

void PaintHonourTile(QImage& sheet, QPoint cell, int honour) {
    PaintBlankFace(sheet, cell);
    if (honour == 4) {
        PaintWhiteDragon(sheet, cell);
        return;
    }
    const QColor colour = honour == 5 ? kGreen : honour == 6 ? kRed : kInk;
    const PixelMask glyph = RasterGlyphToFit(QString::fromUtf16(kHonours[honour]), 16, 18);
    StampCentred(sheet, cell + QPoint(2, 4), 16, 20, glyph, colour);
}

}  // namespace kestrum::art
