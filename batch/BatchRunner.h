#pragma once
// A batch of games at full speed: the blocks of one seed's sequence played by
// several threads in any order and counted in sequence order, so that a
// games or heavenly-hand limit gives the same games, heavenly hands and runs
// on any number of threads.

#include <atomic>
#include <functional>

#include "batch/BatchResult.h"
#include "batch/BatchSequence.h"
#include "batch/BlockPlayer.h"

namespace kestrum {

struct BatchProgress {
  Count64 gamesPlayed = 0;  // by every thread, counted or not yet
  Count64 tenhou = 0;       // heavenly hands counted in sequence order
  double elapsedSeconds = 0.0;
};

// What a batch tells while it runs, always on the thread that runs it.
struct BatchObserver {
  // A few times a second, and once at the end.
  std::function<void(const BatchProgress&)> progress;
  // Every heavenly hand as it is counted, in sequence order, with the tally
  // just after it and the seconds since the batch began.
  std::function<void(const TenhouFind&, const BatchTally&, double)> find;
  // Every few seconds and once at the end: what a checkpoint keeps.
  std::function<void(const SequenceState&)> save;
};

// Plays until a limit is met or stop becomes true. options.threads must be
// at least 1; without any limit only stop ends the batch.
class BatchPeers;

struct BatchSetup {
  // Where a checkpoint left the sequence; empty: the beginning.
  SequenceState resumeFrom;
  // The engine's own PlayBlock but for tests of the scheduling rules.
  BlockPlay play = PlayBlock;
  // Other processes that play blocks of this batch, when there are any.
  BatchPeers* peers = nullptr;
};

BatchResult RunBatch(const BatchOptions& options, const std::atomic<bool>& stop, const BatchObserver& observer = {},
                     const BatchSetup& setup = {});

}  // namespace kestrum
