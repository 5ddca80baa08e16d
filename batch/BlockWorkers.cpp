#include "batch/BlockWorkers.h"

#include "batch/BlockSupply.h"
#include "batch/ResultQueue.h"

namespace kestrum {

BlockWorkers::BlockWorkers(int threads, std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel,
                           ResultQueue& results, BlockPlay play)
    : seed_(seed),
      play_(play),
      supply_(supply),
      cancel_(cancel),
      results_(results),
      played_(static_cast<std::size_t>(threads)) {
  threads_.reserve(played_.size());
  for (std::size_t t = 0; t < played_.size(); ++t) threads_.emplace_back([this, t] { Play(t); });
}

BlockWorkers::~BlockWorkers() { Join(); }

void BlockWorkers::Join() {
  for (std::thread& thread : threads_)
    if (thread.joinable()) thread.join();
}

std::uint64_t BlockWorkers::GamesPlayed() const {
  std::uint64_t games = 0;
  for (const Counter& counter : played_) games += counter.games.load(std::memory_order_relaxed);
  return games;
}

void BlockWorkers::Play(std::size_t thread) {
  while (const auto task = supply_.Take()) {
    BlockResult result = play_(seed_, task->block, task->games, cancel_, &played_[thread].games);
    const bool pastTheLastNeeded =
        cancel_.lastNeededBlock != nullptr && task->block > cancel_.lastNeededBlock->load(std::memory_order_relaxed);
    if (pastTheLastNeeded) continue;
    const bool halted = result.games < task->games;
    results_.Post(std::move(result));
    if (halted) break;
  }
  ended_.fetch_add(1);
  results_.Wake();
}

}  // namespace kestrum
