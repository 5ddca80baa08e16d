#pragma once
// The tile sheet and the digit sheet built into the program, in the size
// that fits a screen. Both are drawn twice by the artwork generators: at the
// layout's own pixels and at twice that, every measure doubled, so that a
// screen scaled by two shows drawn detail rather than doubled pixels.
//   tile sheet  9 x 4 cells of 20 x 28 (at 1x); tile code k sits in column
//               (k - 1) % 9, row (k - 1) / 9.
//   digit sheet 110 x 24 (at 1x): a teal band and a red band of 12 rows;
//               digit d at x = 9d, 9 wide; 局 at 90, 13 wide; the comma at
//               106, 3 wide.

#include <QImage>

namespace kestrum {

struct PictureSheets {
  QImage tiles;   // RGB32, so that blocks copy as plain rows
  QImage digits;
  int scale = 1;  // sheet pixels per layout pixel: 1 or 2

  // The sheets of a scale, loaded once per process.
  static const PictureSheets& OfScale(int scale);
  // The scale whose sheets suit a device pixel ratio: the 1x sheets up to a
  // ratio of 1, the 2x ones above. Between 1 and 2 the 2x sheets are drawn
  // smaller, which keeps strokes even where enlarged 1x pixels would come
  // out one or two device pixels wide by turns.
  static int ScaleForRatio(double devicePixelRatio);
};

}  // namespace kestrum
