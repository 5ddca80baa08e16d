#pragma once
// The main view's one picture: the fourteen tiles of the hand in a row and,
// beneath them, the run's game count in digit pictures followed by 局.
// Everything is copied block by block out of two sheets:
//   tile sheet  180 x 112: 9 x 4 cells of 20 x 28; tile code k sits in
//               column (k - 1) % 9, row (k - 1) / 9.
//   digit sheet 110 x 24: a teal band (rows 0..11) and a red band
//               (rows 12..23); digit d at x = 9d, 9 wide; 局 at 90, 13 wide;
//               the thousands comma at 106, 3 wide.

#include <QPixmap>

#include "engine/Tiles.h"

class QPainter;

struct PictureSheets {
  QPixmap tiles;
  QPixmap digits;

  // The sheets built into the program.
  static PictureSheets Load();
};

struct PictureContent {
  const kestrum::Hand& hand;
  kestrum::Count64 count;
  bool tenhou;  // the count is drawn from the red band
  int tileWidth;
  int tileHeight;
};

// Draws the picture at the painter's origin in logical pixels. The blocks
// are copied without smoothing, so on a scaled screen every sheet pixel
// becomes a sharp square.
void PaintViewPicture(QPainter& painter, const PictureSheets& sheets, const PictureContent& content);
