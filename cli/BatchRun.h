#pragma once
// A batch of games played at full speed on several threads with the engine's
// own shuffle, deal, sort and complete-hand test: what `kestrum-sim run` and
// the benchmarks drive. No Qt.
//
// Each thread plays its own stream: its own wall and its own RandomSource,
// seeded with seed + thread index (the source mixes the seed, so
// neighbouring seeds start far apart). Game j of thread i has the batch index
// j * threads + i; the batch reads its streams interleaved in that order.
// That order makes a seeded batch with a fixed thread count reproducible
// whatever the scheduling: a game limit of N plays exactly the batch indexes
// 0..N-1, and a limit of K heavenly hands ends after the K-th heavenly hand in
// batch order (threads that ran ahead have their extra games dropped).
//
// A run is the games since the previous heavenly hand of the same thread's
// stream (or since the stream began), counting the heavenly hand itself.

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

#include "engine/CompleteHand.h"
#include "engine/Tiles.h"

namespace kestrum {

struct BatchOptions {
  int threads = 1;
  Count64 games = 0;      // stop after this many games; 0 = no limit
  Count64 tenhou = 0;     // stop after this many heavenly hands; 0 = no limit
  double seconds = 0.0;   // stop after this long; 0 = no limit
  std::uint64_t seed = 0;
};

// Games and heavenly hands of the batch so far.
struct BatchProgress {
  Count64 games = 0;
  Count64 tenhou = 0;
  double elapsedSeconds = 0.0;
};

// One heavenly hand, with the batch's counts as they stood at it in batch
// order: games and heavenly hands up to and including it, the shortest and
// longest run so far (this one included).
struct TenhouFind {
  int thread = 0;
  Count64 gameInThread = 0;  // 0-based index within its thread's stream
  Count64 batchIndex = 0;    // gameInThread * threads + thread
  Count64 runLength = 0;
  HandForm form = HandForm::kNone;
  Hand hand{};
  double foundAtSeconds = 0.0;      // since the batch began
  double runStartedAtSeconds = 0.0; // the previous find of its thread, or 0
  Count64 gamesSoFar = 0;
  Count64 tenhouSoFar = 0;
  Count64 shortestSoFar = 0;
  Count64 longestSoFar = 0;
};

struct BatchTotals {
  Count64 games = 0;
  Count64 tenhou = 0;
  Count64 thirteenOrphans = 0;
  Count64 sevenPairs = 0;
  Count64 standard = 0;
  Count64 shortestRun = 0;  // 0 = no heavenly hand
  Count64 longestRun = 0;
  double elapsedSeconds = 0.0;
  int threads = 0;
  std::uint64_t seed = 0;
  bool interrupted = false;  // ended by the stop flag, not by a limit
};

// Called on the thread that called RunBatch, a few times a second.
using BatchProgressCallback = std::function<void(const BatchProgress&)>;
// Called on the thread that called RunBatch, once per heavenly hand, in batch
// order, as soon as no earlier heavenly hand can still turn up.
using TenhouFindCallback = std::function<void(const TenhouFind&)>;

// Plays until a limit is reached or stop becomes true; the totals count every
// game played up to then. options.threads must be at least 1 and at least one
// of the limits (or the stop flag) must end the batch.
BatchTotals RunBatch(const BatchOptions& options, const std::atomic<bool>& stop,
                     const BatchProgressCallback& progress = {},
                     const TenhouFindCallback& onTenhou = {});

}  // namespace kestrum
