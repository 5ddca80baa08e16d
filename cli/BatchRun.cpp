#include "cli/BatchRun.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <memory>
#include <mutex>
#include <thread>

#include "engine/RandomSource.h"
#include "engine/WallOps.h"

namespace kestrum {
namespace {

using Clock = std::chrono::steady_clock;

constexpr Count64 kNoLimit = std::numeric_limits<Count64>::max();
constexpr auto kMonitorPeriod = std::chrono::milliseconds(50);

struct RawFind {
  int thread = 0;
  Count64 gameInThread = 0;
  Count64 batchIndex = 0;
  HandForm form = HandForm::kNone;
  Hand hand{};
  double foundAtSeconds = 0.0;
};

// What one thread publishes: the games it has played so far (every find
// among them is already recorded) and whether it has ended.
struct StreamState {
  std::atomic<Count64> played{0};
  std::atomic<bool> done{false};
};

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// The games thread `thread` plays under a game limit, so that the batch
// indexes played are exactly 0..games-1.
Count64 QuotaOf(Count64 games, int threads, int thread) {
  if (games <= 0) return kNoLimit;
  return games / threads + (thread < games % threads ? 1 : 0);
}

// Games of one stream whose batch index is at most last.
Count64 GamesUpTo(Count64 last, int threads, int thread) {
  if (last < thread) return 0;
  return (last - thread) / threads + 1;
}

class Batch {
 public:
  Batch(const BatchOptions& options, const std::atomic<bool>& stop)
      : options_(options), stop_(stop), streams_(static_cast<std::size_t>(options.threads)) {}

  BatchTotals Run(const BatchProgressCallback& progress, const TenhouFindCallback& onTenhou);

 private:
  void PlayStream(int thread);
  void RecordFind(RawFind find);
  bool AllDone() const;
  BatchProgress Progress() const;
  Count64 Frontier() const;
  void DeliverSettled(Count64 below, const TenhouFindCallback& onTenhou);
  void Deliver(const RawFind& raw, const TenhouFindCallback& onTenhou);
  Count64 PlayedUpTo(Count64 last) const;

  const BatchOptions& options_;
  const std::atomic<bool>& stop_;
  std::vector<StreamState> streams_;
  Clock::time_point start_ = Clock::now();
  std::atomic<bool> halt_{false};
  // Batch index of the last game that counts once enough heavenly hands are
  // known; it only ever moves down, towards the K-th in batch order.
  std::atomic<Count64> cutoff_{kNoLimit};

  mutable std::mutex mutex_;
  std::condition_variable streamEnded_;
  std::vector<RawFind> finds_;  // guarded by mutex_

  // Monitor side only: the finds handed on so far and the running records.
  std::vector<RawFind> pending_;
  Count64 delivered_ = 0;
  Count64 shortest_ = 0;
  Count64 longest_ = 0;
  std::vector<Count64> lastFindGame_;
  std::vector<double> lastFindAt_;
  BatchTotals totals_;
};

void Batch::PlayStream(int thread) {
  StreamState& stream = streams_[static_cast<std::size_t>(thread)];
  const Count64 quota = QuotaOf(options_.games, options_.threads, thread);
  RandomSource source(options_.seed + static_cast<std::uint64_t>(thread));
  Wall wall{};
  FillWall(wall);
  ShuffleWall(wall, source);
  Hand hand{};
  bool pairTaken = false;
  Count64 game = 0;
  while (game < quota && !stop_.load(std::memory_order_relaxed) && !halt_.load(std::memory_order_relaxed)) {
    const Count64 batchIndex = game * options_.threads + thread;
    if (batchIndex > cutoff_.load(std::memory_order_relaxed)) break;
    ShuffleWall(wall, source);
    DealHand(wall, hand);
    SortHand(hand);
    const HandForm form = ClassifyHand(hand, pairTaken);
    if (form != HandForm::kNone) RecordFind({thread, game, batchIndex, form, hand, SecondsSince(start_)});
    ++game;
    stream.played.store(game, std::memory_order_release);
  }
  {
    std::lock_guard lock(mutex_);
    stream.done.store(true, std::memory_order_release);
  }
  streamEnded_.notify_all();
}

void Batch::RecordFind(RawFind find) {
  std::lock_guard lock(mutex_);
  finds_.push_back(find);
  const auto wanted = static_cast<std::size_t>(options_.tenhou);
  if (options_.tenhou <= 0 || finds_.size() < wanted) return;
  std::vector<Count64> indexes;
  indexes.reserve(finds_.size());
  for (const RawFind& f : finds_) indexes.push_back(f.batchIndex);
  std::nth_element(indexes.begin(), indexes.begin() + static_cast<std::ptrdiff_t>(wanted - 1), indexes.end());
  const Count64 kth = indexes[wanted - 1];
  if (kth < cutoff_.load(std::memory_order_relaxed)) cutoff_.store(kth, std::memory_order_relaxed);
}

bool Batch::AllDone() const {
  return std::all_of(streams_.begin(), streams_.end(),
                     [](const StreamState& s) { return s.done.load(std::memory_order_acquire); });
}

BatchProgress Batch::Progress() const {
  BatchProgress progress;
  for (const StreamState& s : streams_) progress.games += s.played.load(std::memory_order_acquire);
  {
    std::lock_guard lock(mutex_);
    progress.tenhou = static_cast<Count64>(finds_.size());
  }
  progress.elapsedSeconds = SecondsSince(start_);
  return progress;
}

// The smallest batch index at which a heavenly hand not yet recorded could
// still turn up.
Count64 Batch::Frontier() const {
  Count64 frontier = kNoLimit;
  for (int t = 0; t < options_.threads; ++t) {
    const StreamState& s = streams_[static_cast<std::size_t>(t)];
    if (s.done.load(std::memory_order_acquire)) continue;
    frontier = std::min(frontier, s.played.load(std::memory_order_acquire) * options_.threads + t);
  }
  return frontier;
}

Count64 Batch::PlayedUpTo(Count64 last) const {
  Count64 games = 0;
  for (int t = 0; t < options_.threads; ++t) {
    const Count64 played = streams_[static_cast<std::size_t>(t)].played.load(std::memory_order_acquire);
    games += std::min(played, GamesUpTo(last, options_.threads, t));
  }
  return games;
}

void Batch::DeliverSettled(Count64 below, const TenhouFindCallback& onTenhou) {
  {
    std::lock_guard lock(mutex_);
    const Count64 cutoff = cutoff_.load(std::memory_order_relaxed);
    auto settled = std::partition(finds_.begin(), finds_.end(), [&](const RawFind& f) {
      return !(f.batchIndex < below && f.batchIndex <= cutoff);
    });
    pending_.assign(settled, finds_.end());
    finds_.erase(settled, finds_.end());
  }
  std::sort(pending_.begin(), pending_.end(),
            [](const RawFind& a, const RawFind& b) { return a.batchIndex < b.batchIndex; });
  for (const RawFind& raw : pending_) Deliver(raw, onTenhou);
  pending_.clear();
}

void Batch::Deliver(const RawFind& raw, const TenhouFindCallback& onTenhou) {
  const auto t = static_cast<std::size_t>(raw.thread);
  TenhouFind find;
  find.thread = raw.thread;
  find.gameInThread = raw.gameInThread;
  find.batchIndex = raw.batchIndex;
  find.runLength = raw.gameInThread - lastFindGame_[t];
  find.form = raw.form;
  find.hand = raw.hand;
  find.foundAtSeconds = raw.foundAtSeconds;
  find.runStartedAtSeconds = lastFindAt_[t];
  lastFindGame_[t] = raw.gameInThread;
  lastFindAt_[t] = raw.foundAtSeconds;

  ++delivered_;
  if (shortest_ == 0 || find.runLength < shortest_) shortest_ = find.runLength;
  longest_ = std::max(longest_, find.runLength);
  switch (raw.form) {
    case HandForm::kThirteenOrphans: ++totals_.thirteenOrphans; break;
    case HandForm::kSevenPairs: ++totals_.sevenPairs; break;
    case HandForm::kStandard: ++totals_.standard; break;
    case HandForm::kNone: break;
  }
  find.gamesSoFar = PlayedUpTo(raw.batchIndex);
  find.tenhouSoFar = delivered_;
  find.shortestSoFar = shortest_;
  find.longestSoFar = longest_;
  if (onTenhou) onTenhou(find);
}

BatchTotals Batch::Run(const BatchProgressCallback& progress, const TenhouFindCallback& onTenhou) {
  lastFindGame_.assign(streams_.size(), -1);
  lastFindAt_.assign(streams_.size(), 0.0);
  std::vector<std::jthread> workers;
  workers.reserve(streams_.size());
  for (int t = 0; t < options_.threads; ++t) workers.emplace_back([this, t] { PlayStream(t); });

  for (;;) {
    {
      std::unique_lock lock(mutex_);
      streamEnded_.wait_for(lock, kMonitorPeriod);
    }
    if (options_.seconds > 0 && SecondsSince(start_) >= options_.seconds) halt_.store(true);
    DeliverSettled(Frontier(), onTenhou);
    if (AllDone()) break;
    if (progress) progress(Progress());
  }
  workers.clear();  // joins

  // Streams that ran past the K-th heavenly hand give their extra games back.
  const Count64 cutoff = cutoff_.load();
  for (int t = 0; t < options_.threads; ++t) {
    StreamState& s = streams_[static_cast<std::size_t>(t)];
    if (cutoff != kNoLimit) s.played.store(std::min(s.played.load(), GamesUpTo(cutoff, options_.threads, t)));
  }
  DeliverSettled(kNoLimit, onTenhou);

  totals_.games = PlayedUpTo(kNoLimit - options_.threads);
  totals_.tenhou = delivered_;
  totals_.shortestRun = shortest_;
  totals_.longestRun = longest_;
  totals_.elapsedSeconds = SecondsSince(start_);
  totals_.threads = options_.threads;
  totals_.seed = options_.seed;
  totals_.interrupted = stop_.load();
  if (progress) progress({totals_.games, totals_.tenhou, totals_.elapsedSeconds});
  return totals_;
}

}  // namespace

BatchTotals RunBatch(const BatchOptions& options, const std::atomic<bool>& stop,
                     const BatchProgressCallback& progress, const TenhouFindCallback& onTenhou) {
  BatchOptions checked = options;
  checked.threads = std::max(1, options.threads);
  Batch batch(checked, stop);
  return batch.Run(progress, onTenhou);
}

}  // namespace kestrum
