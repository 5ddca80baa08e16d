#include "batch/DeviceOutcome.h"

#include <vector>

namespace kestrum {

std::optional<BlockResult> ToBlockResult(std::uint64_t block, const DeviceBlockOutcome& outcome) {
  if (outcome.finds > kKeptFinds) return std::nullopt;
  BlockResult result;
  result.block = block;
  result.games = outcome.games;
  for (unsigned k = 0; k < outcome.finds; ++k) {
    const DeviceFind& kept = outcome.kept[k];
    Hand hand{};
    for (int t = 0; t < kHandSize; ++t) hand[t] = kept.dealt[t];
    SortHand(hand);
    result.finds.push_back({kept.gameInBlock, static_cast<HandForm>(kept.form), Compact(hand)});
  }
  return result;
}

DeviceBlockOutcome PlayDeviceBlockHere(std::uint64_t seed, const DeviceTask& task) {
  // A warp's stripes with this block's wall in thread 0's.
  std::vector<std::uint8_t> stripes(kStripedWarpBytes);
  DeviceBlockOutcome outcome{};
  PlayDeviceBlock(seed, task, StripedWall(stripes.data(), 0), outcome);
  return outcome;
}

}  // namespace kestrum
