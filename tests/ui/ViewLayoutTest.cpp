#include "ui/ViewLayout.h"

#include <gtest/gtest.h>

#include <limits>
#include <vector>

namespace kestrum::ui {
namespace {

ViewContent CountOf(Count64 count, bool tenhou = false) { return {kFixedStartHand, count, tenhou, 20, 28}; }

// The left edges of the count's blocks (digits, commas, 局) in drawing order.
std::vector<int> CountLefts(const ViewLayout& layout) {
  std::vector<int> lefts;
  for (const LayoutBlock& block : layout.Blocks()) {
    if (block.sheet == kDigitSheet) lefts.push_back(block.targetX);
  }
  return lefts;
}

TEST(ViewLayout, TilesFollowTheHandAcrossTheTopRow) {
  const ViewLayout layout(CountOf(0));
  const auto blocks = layout.Blocks();
  ASSERT_GE(blocks.size(), 14u);
  // 1m at the left, the red dragons (34: column 6 of row 3) at the right.
  EXPECT_EQ(blocks[0], (LayoutBlock{kTileSheet, 0, 0, 20, 28, 0, 0}));
  EXPECT_EQ(blocks[1], (LayoutBlock{kTileSheet, 160, 0, 20, 28, 20, 0}));
  EXPECT_EQ(blocks[13], (LayoutBlock{kTileSheet, 120, 84, 20, 28, 260, 0}));
}

TEST(ViewLayout, CountsArePlacedWhereTheViewHasAlwaysDrawnThem) {
  EXPECT_EQ(CountLefts(ViewLayout(CountOf(0))), (std::vector<int>{128, 137}));
  EXPECT_EQ(CountLefts(ViewLayout(CountOf(999))), (std::vector<int>{118, 127, 136, 145}));
  EXPECT_EQ(CountLefts(ViewLayout(CountOf(1000))), (std::vector<int>{113, 122, 125, 134, 143, 152}));
  EXPECT_EQ(CountLefts(ViewLayout(CountOf(1234567))),
            (std::vector<int>{98, 107, 110, 119, 128, 137, 140, 149, 158, 167}));
}

TEST(ViewLayout, CommaAndMarkComeFromTheirColumnsOfTheChosenBand) {
  const ViewLayout teal(CountOf(1000, false));
  const auto tealBlocks = teal.Blocks();
  EXPECT_EQ(tealBlocks[15], (LayoutBlock{kDigitSheet, 106, 0, 3, 12, 122, 29}));
  EXPECT_EQ(tealBlocks.back(), (LayoutBlock{kDigitSheet, 90, 0, 13, 12, 152, 29}));
  const ViewLayout red(CountOf(7, true));
  for (const LayoutBlock& block : red.Blocks()) {
    if (block.sheet == kDigitSheet) {
      EXPECT_EQ(block.sourceY, 12);
    }
  }
  EXPECT_EQ(red.Blocks()[14].sourceX, 63);  // the digit 7
}

TEST(ViewLayout, TheLongestCountFitsItsBlocksAndAWrappedOneLosesOnlyItsSign) {
  const ViewLayout longest(CountOf(std::numeric_limits<Count64>::max()));
  EXPECT_EQ(longest.Blocks().size(), 14u + 19 + 6 + 1);
  const ViewLayout wrapped(CountOf(-5));
  EXPECT_EQ(wrapped.Blocks().size(), 14u + 1 + 1);
  EXPECT_EQ(wrapped.Blocks()[14].sourceX, 45);
}

}  // namespace
}  // namespace kestrum::ui
