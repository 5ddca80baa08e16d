#pragma once
// One block of a picture composed from sheets: the rectangle of a sheet to
// copy and where its top left corner goes, both in layout pixels (the
// picture's own 1x measures); a sheet drawn at a larger scale has every
// measure multiplied by that scale.

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kestrum {

struct SheetBlock {
  int sheet;  // index into the list of sheets the picture is composed from
  QRect source;
  QPoint target;

  bool operator==(const SheetBlock&) const = default;
};

// A block in device pixels at a scale: the source cut to the sheet's
// bounds, the target where the block's corner falls. A block with a target
// left of or above the picture is not drawn at all (its source is empty);
// one that runs past the picture's right or bottom is cut there by the
// copy itself.
inline SheetBlock DeviceBlock(const SheetBlock& block, int scale, QSize sheetSize) {
  const QRect source = QRect(block.source.topLeft() * scale, block.source.size() * scale) & QRect(QPoint(), sheetSize);
  const QPoint target = block.target * scale;
  if (target.x() < 0 || target.y() < 0) return {block.sheet, QRect(), target};
  return {block.sheet, source, target};
}

}  // namespace kestrum
