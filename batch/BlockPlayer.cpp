#include "batch/BlockPlayer.h"

#include "batch/BlockTables.h"
#include "engine/HandDistance.h"
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
  const DistanceTables& distanceTables = SharedDistanceTables();
  Hand hand{};
  bool pairTaken = false;
  std::uint32_t game = 0;
  for (; game < games && !cancel.Cancelled(block); ++game) {
    ShuffleWall(wall, source);
    DealHand(wall, hand);
    const DealDistance distance = DistanceOfDeal(distanceTables, wall.data());
    ++result.distances.dealer[static_cast<std::size_t>(distance.fourteen + 1)];
    ++result.distances.firstThirteen[static_cast<std::size_t>(distance.thirteen + 1)];
    SortHand(hand);
    const HandForm form = ClassifyHand(hand, pairTaken);
    if (form != HandForm::kNone) result.finds.push_back({game, form, Compact(hand), result.distances});
    if (progress != nullptr) progress->fetch_add(1, std::memory_order_relaxed);
  }
  result.games = game;
  return result;
}

}  // namespace kestrum
