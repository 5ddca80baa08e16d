#include "app/PictureLayout.h"

#include "dialogs/PictureSheets.h"

#include <QImage>

const QImage& SheetImage(const kestrum::PictureSheets& sheets, int sheet) {
  return sheet == kTileSheet ? sheets.tiles : sheets.digits;
}

PictureLayout::PictureLayout(const PictureContent& content) {
  const kestrum::ui::ViewLayout layout(content);
  for (const kestrum::ui::LayoutBlock& block : layout.Blocks()) {
    blocks_[size_++] = {block.sheet, QRect(block.sourceX, block.sourceY, block.width, block.height),
                        QPoint(block.targetX, block.targetY)};
  }
}
