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

void PaintOutline(QImage& sheet, QPoint cell) {
    FillRect(sheet, cell.x(), cell.y(), kTileWidth, 1, kOutline);
    FillRect(sheet, cell.x(), cell.y() + kTileHeight - 1, kTileWidth, 1, kOutline);
    FillRect(sheet, cell.x(), cell.y(), 1, kTileHeight, kOutline);
    FillRect(sheet, cell.x() + kTileWidth - 1, cell.y(), 1, kTileHeight, kOutline);
}

}  // namespace

void PaintBlankFace(QImage& sheet, QPoint cell) {
    FillRect(sheet, cell.x(), cell.y(), kTileWidth, kTileHeight, kFace);
    PaintOutline(sheet, cell);
}

void PaintTileBack(QImage& sheet, QPoint cell) {
    FillRect(sheet, cell.x(), cell.y(), kTileWidth, kTileHeight, kBack);
    PaintOutline(sheet, cell);
}

}  // namespace kestrum::art
