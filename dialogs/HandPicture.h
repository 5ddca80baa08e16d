#pragma once
// Fourteen tile pictures side by side, cut from the tile sheet by the tile
// names of a logged hand (the cells: ui/HandCells).

#include <QWidget>

#include <optional>
#include <string>

#include "ui/HandCells.h"

namespace kestrum {

using ui::HandCells;
using ui::kTileBackCell;
using ui::LookUpTileCell;
using ui::TileCell;

class HandPicture : public QWidget {
  Q_OBJECT

 public:
  static constexpr int kTileWidth = 20;
  static constexpr int kTileHeight = 28;

  explicit HandPicture(QWidget* parent = nullptr);

  // Nothing is drawn while no hand is set.
  void SetHandText(std::optional<std::string> handText);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::optional<std::string> handText_;
};

}  // namespace kestrum
