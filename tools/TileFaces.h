#pragma once

#include <QPoint>

class QImage;

namespace kestrum::art {

// Each painter draws onto a cell whose face (white inside the black outline)
// is already there; `cell` is the cell's top-left corner on the sheet.
void PaintBlankFace(QImage& sheet, QPoint cell);
void PaintTileBack(QImage& sheet, QPoint cell);
void PaintCharacterTile(QImage& sheet, QPoint cell, int rank);   // 1..9
void PaintCircleTile(QImage& sheet, QPoint cell, int rank);      // 1..9
void PaintBambooTile(QImage& sheet, QPoint cell, int rank);      // 1..9
void PaintHonourTile(QImage& sheet, QPoint cell, int honour);    // 0..6: E S W N White Green Red

}  // namespace kestrum::art
