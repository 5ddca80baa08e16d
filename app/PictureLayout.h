#pragma once
// The main view's picture layout (ui/ViewLayout) in Qt's measures, as the
// picture in memory and the pixmaps on the X server compose it.

#include <array>
#include <span>

#include "platform/SheetBlock.h"
#include "ui/ViewLayout.h"

class QImage;
namespace kestrum {
struct PictureSheets;
}

using PictureContent = kestrum::ui::ViewContent;
using kestrum::ui::PictureSheet;
using enum kestrum::ui::PictureSheet;

const QImage& SheetImage(const kestrum::PictureSheets& sheets, int sheet);

class PictureLayout {
 public:
  explicit PictureLayout(const PictureContent& content);

  std::span<const kestrum::SheetBlock> Blocks() const { return {blocks_.data(), size_}; }

 private:
  static constexpr std::size_t kMostBlocks = static_cast<std::size_t>(kestrum::kHandSize) + 19 + 6 + 1;

  std::array<kestrum::SheetBlock, kMostBlocks> blocks_{};
  std::size_t size_ = 0;
};
