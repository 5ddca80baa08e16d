#pragma once

#include <QPoint>

class QImage;

namespace kestrum::art {

// Each painter draws one cell; `cell` is the cell's top-left corner on the
// sheet in sheet pixels. `scale` is 1 for the 20 x 28 cells of the layout
// and 2 for the sheet of scaled screens, where every measure is doubled
// (outlines two pixels wide, cells 40 x 56) and shapes are drawn anew at
// that size rather than copied pixel by pixel.
void PaintBlankFace(QImage& sheet, QPoint cell, int scale);
void PaintTileBack(QImage& sheet, QPoint cell, int scale);
void PaintCharacterTile(QImage& sheet, QPoint cell, int rank, int scale);   // 1..9
void PaintCircleTile(QImage& sheet, QPoint cell, int rank, int scale);      // 1..9
void PaintBambooTile(QImage& sheet, QPoint cell, int rank, int scale);      // 1..9
void PaintHonourTile(QImage& sheet, QPoint cell, int honour, int scale);    // 0..6: E S W N White Green Red

}  // namespace kestrum::art
