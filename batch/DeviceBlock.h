#pragma once
// One block of a batch as one GPU thread plays it, from its generator to its
// heavenly hands: the same games as PlayBlock, on a striped byte wall, with
// the hand test on counts. The same code runs on the processor in the tests.

#include <cstdint>

#include "batch/CountedHand.h"
#include "batch/DeviceCode.h"
#include "batch/StepStream.h"
#include "batch/StripedWall.h"
#include "engine/HandDistance.h"
#include "engine/WallOps.h"

namespace kestrum {

// What a thread is told to play.
struct DeviceTask {
  std::uint64_t block = 0;
  std::uint32_t games = 0;
};

// Heavenly hands kept in a block's outcome. A block holds one in some 300
// and more than four far more rarely than anything else goes wrong; the
// processor plays such a block again for all of them.
inline constexpr unsigned kKeptFinds = 4;

// A block's games by distance from complete, slot = distance + 1, as
// BlockResult's GameDistances holds them.
struct DeviceDistances {
  std::uint32_t dealer[StripedTally::kSlots];
  std::uint32_t firstThirteen[StripedTally::kSlots];
};

struct DeviceFind {
  std::uint32_t gameInBlock;
  std::uint32_t form;             // a HandForm
  std::uint8_t dealt[kHandSize];  // as dealt, not yet sorted
  DeviceDistances through;        // the block's games up to this one
};

// Plain old data, written by the GPU and copied back as it stands.
struct DeviceBlockOutcome {
  std::uint32_t games;
  std::uint32_t finds;  // all of the block's, also those past kKeptFinds
  DeviceDistances distances;
  DeviceFind kept[kKeptFinds];
};

// ShuffleWall's exchanges, n = value mod 1000 + 10000 of them: one pair at
// a time until the generator stands at a step, then a whole step's pairs at
// a time, then the few left one at a time.
template <class Wall>
KESTRUM_HOST_DEVICE void ShuffleStriped(Wall& wall, StepStream& stream) {
  unsigned left = stream.Next() % kExchangeSpread + kMinExchanges;
  const auto exchange = [&wall](unsigned a, unsigned b) { wall.Exchange(a, b); };
  for (; left > 0 && !stream.AtPairsOfStep(); --left) {
    const unsigned a = Mod136(stream.Next());
    exchange(a, Mod136(stream.Next()));
  }
  for (; left >= StepStream::kPairsPerStep; left -= StepStream::kPairsPerStep) stream.StepPairs(exchange);
  for (; left > 0; --left) {
    const unsigned a = Mod136(stream.Next());
    exchange(a, Mod136(stream.Next()));
  }
}

// The engine's hand test; the tests put in others that find far more often.
struct CountedClassifier {
  KESTRUM_HOST_DEVICE HandForm operator()(const KindCounts& counts) const { return counts.Classify(); }
};

// The distances of a deal, as a call of its own on a GPU: its sums take
// twice the registers of the exchanges, which would otherwise be held for the
// whole block and halve the threads a multiprocessor holds.
#if defined(__CUDA_ARCH__)
__device__ __noinline__
#else
inline
#endif
    DealDistance
    DistanceOfDealt(const DistanceTables& tables, const std::uint8_t* dealt) {
  return DistanceOfDeal(tables, dealt);
}

// What a thread plays on: its wall and its tallies in shared memory, and the
// distance tables in the GPU's memory.
struct DevicePlace {
  StripedWall wall;
  StripedTally tally;
  const DistanceTables* tables;
};

template <class Classifier = CountedClassifier>
KESTRUM_HOST_DEVICE void PlayDeviceBlock(std::uint64_t seed, const DeviceTask& task, DevicePlace place,
                                         DeviceBlockOutcome& outcome, const Classifier& classify = Classifier()) {
  StepStream stream(seed, task.block);
  StripedWall& wall = place.wall;
  wall.Fill();
  place.tally.Clear();
  ShuffleStriped(wall, stream);  // as the window shuffles once before its first game
  unsigned finds = 0;
  for (std::uint32_t game = 0; game < task.games; ++game) {
    ShuffleStriped(wall, stream);
    std::uint8_t dealt[kHandSize];
    KindCounts counts;
    for (int k = 0; k < kHandSize; ++k) {
      dealt[k] = static_cast<std::uint8_t>(wall.At(static_cast<unsigned>(k)));
      counts.Add(dealt[k]);
    }
    const DealDistance distance = DistanceOfDealt(*place.tables, dealt);
    place.tally.Count(false, static_cast<unsigned>(distance.fourteen + 1));
    place.tally.Count(true, static_cast<unsigned>(distance.thirteen + 1));
    const HandForm form = classify(counts);
    if (form == HandForm::kNone) continue;
    if (finds < kKeptFinds) {
      DeviceFind& find = outcome.kept[finds];
      find.gameInBlock = game;
      find.form = static_cast<std::uint32_t>(form);
      for (int k = 0; k < kHandSize; ++k) find.dealt[k] = dealt[k];
      place.tally.CopyTo(find.through.dealer, find.through.firstThirteen);
    }
    ++finds;
  }
  outcome.games = task.games;
  outcome.finds = finds;
  place.tally.CopyTo(outcome.distances.dealer, outcome.distances.firstThirteen);
}

}  // namespace kestrum
