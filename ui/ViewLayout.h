#pragma once
// Where each block of the sheets goes in the main view's picture: the
// fourteen tiles of the hand in a row and, beneath them, the run's game
// count in digit pictures with commas, followed by 局, from the red band
// after a heavenly hand. Every way of drawing the view (an image in memory,
// pixmaps on the X server, GDI on Windows) composes the picture from this one
// list, so they cannot come to differ.

#include <array>
#include <cstddef>
#include <span>

#include "engine/Tiles.h"

namespace kestrum::ui {

inline constexpr int kViewWidth = 280;
inline constexpr int kViewHeight = 42;

// The sheets a block's index refers to, in this order.
enum PictureSheet : int { kTileSheet = 0, kDigitSheet = 1, kPictureSheetCount = 2 };

struct ViewContent {
  Hand hand;
  Count64 count;
  bool tenhou;  // the count is drawn from the red band
  int tileWidth;
  int tileHeight;

  bool operator==(const ViewContent&) const = default;
};

// A rectangle of a sheet and where its top left corner goes, in layout
// pixels (the picture's own 1x measures).
struct LayoutBlock {
  int sheet;
  int sourceX;
  int sourceY;
  int width;
  int height;
  int targetX;
  int targetY;

  bool operator==(const LayoutBlock&) const = default;
};

// The blocks of one picture, held by value: working them out allocates
// nothing, which matters at a hundred pictures a second.
class ViewLayout {
 public:
  explicit ViewLayout(const ViewContent& content);

  std::span<const LayoutBlock> Blocks() const { return {blocks_.data(), size_}; }

 private:
  // The hand, up to 19 digits with their 6 commas, and 局.
  static constexpr std::size_t kMostBlocks = static_cast<std::size_t>(kHandSize) + 19 + 6 + 1;

  void AddTiles(const ViewContent& content);
  void AddCount(const ViewContent& content);
  void Add(int sheet, int sourceX, int sourceY, int width, int height, int targetX, int targetY);

  std::array<LayoutBlock, kMostBlocks> blocks_{};
  std::size_t size_ = 0;
};

}  // namespace kestrum::ui
