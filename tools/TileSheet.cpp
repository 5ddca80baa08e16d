#include "TileSheet.h"

#include "Palette.h"
#include "TileFaces.h"

#include <QImage>

namespace kestrum::art {

namespace {

QPoint CellOrigin(int column, int row) { return {column * kTileWidth, row * kTileHeight}; }

}  // namespace

QImage PaintTileSheet() {
    QImage sheet(kSheetColumns * kTileWidth, kSheetRows * kTileHeight, QImage::Format_RGB32);
    sheet.fill(kFace);
    for (int rank = 1; rank <= 9; ++rank) {
        PaintCharacterTile(sheet, CellOrigin(rank - 1, 0), rank);
        PaintCircleTile(sheet, CellOrigin(rank - 1, 1), rank);
        PaintBambooTile(sheet, CellOrigin(rank - 1, 2), rank);
    }
    for (int honour = 0; honour < 7; ++honour) PaintHonourTile(sheet, CellOrigin(honour, 3), honour);
    PaintTileBack(sheet, CellOrigin(7, 3));
    // The last cell stays plain white: nothing is ever cut from it.
    return sheet;
}

}  // namespace kestrum::art
