#include "TileSheet.h"

#include "Palette.h"
#include "TileFaces.h"

#include <QImage>

namespace kestrum::art {

namespace {

QPoint CellOrigin(int column, int row, int scale) { return {column * kTileWidth * scale, row * kTileHeight * scale}; }

}  // namespace

QImage PaintTileSheet(int scale) {
    QImage sheet(kSheetColumns * kTileWidth * scale, kSheetRows * kTileHeight * scale, QImage::Format_RGB32);
    sheet.fill(kFace);
    for (int rank = 1; rank <= 9; ++rank) {
        PaintCharacterTile(sheet, CellOrigin(rank - 1, 0, scale), rank, scale);
        PaintCircleTile(sheet, CellOrigin(rank - 1, 1, scale), rank, scale);
        PaintBambooTile(sheet, CellOrigin(rank - 1, 2, scale), rank, scale);
    }
    for (int honour = 0; honour < 7; ++honour) PaintHonourTile(sheet, CellOrigin(honour, 3, scale), honour, scale);
    PaintTileBack(sheet, CellOrigin(7, 3, scale), scale);
    // The last cell stays plain white: nothing is ever cut from it.
    return sheet;
}

}  // namespace kestrum::art
