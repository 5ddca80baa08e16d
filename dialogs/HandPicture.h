#pragma once
// Fourteen tile pictures side by side, cut from the tile sheet by the tile
// names of a logged hand.

#include <QWidget>

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum {

struct TileCell {
  int column = 0;
  int row = 0;
  bool operator==(const TileCell&) const = default;
};

// The sheet cell of a two-byte tile name; nothing for a piece that names no
// tile (too short, or not a name of the tile table).
std::optional<TileCell> LookUpTileCell(std::string_view piece);

// Where the fourteen cells of a hand text are cut from the sheet. A piece
// that names no tile repeats the cell before it; before any tile has been
// named that is the tile back, so a damaged text shows backs, not a guess.
std::array<TileCell, 14> HandCells(std::string_view handText);

inline constexpr TileCell kTileBackCell{7, 3};

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
