#pragma once
// What a batch asks for and what it gives: plain values, documented field by
// field, so that a summary, a JSON document or a plot can be made from a
// BatchResult alone.

#include <array>
#include <cstdint>
#include <vector>

#include "batch/BlockResult.h"
#include "engine/CompleteHand.h"
#include "engine/Tiles.h"

namespace kestrum {

// 0 means no limit. games and tenhou make a seeded batch reproducible;
// seconds does not, since how far a batch gets in a time depends on the
// machine.
struct BatchLimits {
  Count64 games = 0;
  Count64 tenhou = 0;
  double seconds = 0.0;
};

// What plays the blocks: the processor's threads or a CUDA GPU. Either plays
// the same games.
enum class BatchDevice { kCpu, kCuda };

struct BatchOptions {
  int threads = 1;
  BatchDevice device = BatchDevice::kCpu;
  BatchLimits limits;
  std::uint64_t seed = 0;
};

enum class StopReason { kGames, kTenhou, kSeconds, kInterrupted };

// One heavenly hand of the batch, in sequence order.
struct TenhouFind {
  std::uint64_t block = 0;
  std::uint32_t gameInBlock = 0;
  std::uint64_t sequenceIndex = 0;  // block * kBlockGames + gameInBlock
  Count64 gamesSoFar = 0;           // games counted up to and including this one
  Count64 runLength = 0;            // games since the previous heavenly hand, this one included
  HandForm form = HandForm::kNone;
  CompactHand hand{};
};

// The games counted, by distance from complete (slot distance + 1).
struct DistanceTally {
  std::array<Count64, kDistanceSlots> dealer{};
  std::array<Count64, kDistanceSlots> firstThirteen{};

  void Add(const GameDistances& block) {
    for (int i = 0; i < kDistanceSlots; ++i) {
      dealer[i] += block.dealer[i];
      firstThirteen[i] += block.firstThirteen[i];
    }
  }
  bool operator==(const DistanceTally&) const = default;
};

// The running counts of a batch in sequence order.
struct BatchTally {
  Count64 games = 0;
  Count64 tenhou = 0;
  Count64 thirteenOrphans = 0;
  Count64 sevenPairs = 0;
  Count64 standard = 0;
  Count64 shortestRun = 0;  // 0 while no heavenly hand has been found
  Count64 longestRun = 0;
  DistanceTally distances;
};

struct BatchResult {
  BatchTally tally;
  // Every heavenly hand counted, in sequence order; with the total games this
  // is enough to draw the rate as the batch went on and the runs.
  std::vector<TenhouFind> finds;
  StopReason stop = StopReason::kInterrupted;
  double elapsedSeconds = 0.0;
  int threads = 0;  // per process
  int processes = 1;
  BatchDevice device = BatchDevice::kCpu;
  std::uint64_t seed = 0;
  BatchLimits limits;
  Count64 resumedGames = 0;  // counted from a checkpoint, not played by this run
  double startEpochSeconds = 0.0;  // when this run began, seconds since 1970 (UTC)
  // Blocks a halt (a time limit, Ctrl-C) cut short, whose games are counted
  // with a gap after them.
  std::uint64_t blocksCutShort = 0;
  // Only a batch ended by its games or heavenly-hand limit gives the same
  // result again for its seed; after a time limit or Ctrl-C the count
  // depends on the machine, and blocks cut short leave gaps in the sequence.
  bool Reproducible() const { return stop == StopReason::kGames || stop == StopReason::kTenhou; }
};

}  // namespace kestrum
