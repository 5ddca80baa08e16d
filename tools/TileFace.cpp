#include "Palette.h"
#include "TileFaces.h"
#include "TileSheet.h"

#include <QImage>

namespace kestrum::art {

namespace {

void FillRect(QImage& sheet, int x0, int y0, int width, int height, QColor colour) {
    for (int y = y0; y < y0 + height; ++y)
        for (int x = x0; x < x0 + width; ++x) sheet.setPixel(x, y, colour.rgb());
}

void PaintOutline(QImage& sheet, QPoint cell, int scale) {
    const int w = kTileWidth * scale;
    const int h = kTileHeight * scale;
    FillRect(sheet, cell.x(), cell.y(), w, scale, kOutline);
    FillRect(sheet, cell.x(), cell.y() + h - scale, w, scale, kOutline);
    FillRect(sheet, cell.x(), cell.y(), scale, h, kOutline);
    FillRect(sheet, cell.x() + w - scale, cell.y(), scale, h, kOutline);
}

}  // namespace

void PaintBlankFace(QImage& sheet, QPoint cell, int scale) {
    FillRect(sheet, cell.x(), cell.y(), kTileWidth * scale, kTileHeight * scale, kFace);
    PaintOutline(sheet, cell, scale);
}

void PaintTileBack(QImage& sheet, QPoint cell, int scale) {
    FillRect(sheet, cell.x(), cell.y(), kTileWidth * scale, kTileHeight * scale, kBack);
    PaintOutline(sheet, cell, scale);
}

}  // namespace kestrum::art
