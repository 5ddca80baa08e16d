#include "batch/DeviceOutcome.h"

#include <vector>

namespace kestrum {

namespace {

GameDistances ToGameDistances(const DeviceDistances& distances) {
  static_assert(StripedTally::kSlots == kDistanceSlots);
  GameDistances result;
  for (unsigned slot = 0; slot < StripedTally::kSlots; ++slot) {
    result.dealer[slot] = distances.dealer[slot];
    result.firstThirteen[slot] = distances.firstThirteen[slot];
  }
  return result;
}

}  // namespace

std::optional<BlockResult> ToBlockResult(std::uint64_t block, const DeviceBlockOutcome& outcome) {
  if (outcome.finds > kKeptFinds) return std::nullopt;
  BlockResult result;
  result.block = block;
  result.games = outcome.games;
  result.distances = ToGameDistances(outcome.distances);
  for (unsigned k = 0; k < outcome.finds; ++k) {
    const DeviceFind& kept = outcome.kept[k];
    Hand hand{};
    for (int t = 0; t < kHandSize; ++t) hand[t] = kept.dealt[t];
    SortHand(hand);
    result.finds.push_back(
        {kept.gameInBlock, static_cast<HandForm>(kept.form), Compact(hand), ToGameDistances(kept.through)});
  }
  return result;
}

DeviceBlockOutcome PlayDeviceBlockHere(std::uint64_t seed, const DeviceTask& task) {
  // A warp's stripes with this block's wall and tallies in thread 0's.
  std::vector<std::uint8_t> walls(kStripedWarpBytes);
  std::vector<std::uint8_t> tallies(kStripedTallyWarpBytes);
  DeviceBlockOutcome outcome{};
  PlayDeviceBlock(seed, task, {StripedWall(walls.data(), 0), StripedTally(tallies.data(), 0), &SharedDistanceTables()},
                  outcome);
  return outcome;
}

}  // namespace kestrum
