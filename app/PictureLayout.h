#pragma once
// Where each block of the sheets goes in the main view's picture: the
// fourteen tiles of the hand in a row and, beneath them, the run's game
// count in digit pictures with commas, followed by 局, from the red band
// after a heavenly hand. Both ways of drawing the view (an image in memory
// and pixmaps on the X server) compose the picture from this one list, so
// they cannot come to differ.

#include <array>
#include <span>

#include "engine/Tiles.h"
#include "platform/SheetBlock.h"

class QImage;
namespace kestrum {
struct PictureSheets;
}

struct PictureContent {
  kestrum::Hand hand;
  kestrum::Count64 count;
  bool tenhou;  // the count is drawn from the red band
  int tileWidth;
  int tileHeight;

  bool operator==(const PictureContent&) const = default;
};

// The sheets a block's index refers to, in this order.
enum PictureSheet : int { kTileSheet = 0, kDigitSheet = 1, kPictureSheetCount = 2 };

const QImage& SheetImage(const kestrum::PictureSheets& sheets, int sheet);

// The blocks of one picture, held by value: working them out allocates
// nothing, which matters at a hundred pictures a second.
class PictureLayout {
 public:
  explicit PictureLayout(const PictureContent& content);

  std::span<const kestrum::SheetBlock> Blocks() const { return {blocks_.data(), size_}; }

 private:
  // The hand, up to 19 digits with their 6 commas, and 局.
  static constexpr std::size_t kMostBlocks = static_cast<std::size_t>(kestrum::kHandSize) + 19 + 6 + 1;

  void AddTiles(const PictureContent& content);
  void AddCount(const PictureContent& content);
  void Add(int sheet, QRect source, QPoint target);

  std::array<kestrum::SheetBlock, kMostBlocks> blocks_{};
  std::size_t size_ = 0;
};
