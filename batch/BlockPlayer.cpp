#include "batch/BlockPlayer.h"

#include "batch/BlockTables.h"
#include "engine/WallOps.h"

namespace kestrum {

BlockResult PlayBlock(std::uint64_t seed, std::uint64_t block, std::uint32_t games, const BlockCancel& cancel,
                      std::atomic<std::uint64_t>* progress) {
  BlockResult result;
  result.block = block;
  BlockTables tables(seed, block);
  BlockRandom& source = tables.source;
  Wall& wall = tables.wall;
  ShuffleWall(wall, source);  // as the window shuffles once before its first game
  Hand hand{};
  bool pairTaken = false;
  std::uint32_t game = 0;
  for (; game < games && !cancel.Cancelled(block); ++game) {
    ShuffleWall(wall, source);
    DealHand(wall, hand);
    SortHand(hand);
    const HandForm form = ClassifyHand(hand, pairTaken);
    if (form != HandForm::kNone) result.finds.push_back({game, form, Compact(hand)});
    if (progress != nullptr) progress->fetch_add(1, std::memory_order_relaxed);
  }
  result.games = game;
  return result;
}

}  // namespace kestrum
