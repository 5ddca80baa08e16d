#include "batch/WavePlayers.h"

#include <deque>

#include "batch/BlockSupply.h"
#include "batch/DeviceOutcome.h"
#include "batch/ResultQueue.h"

namespace kestrum {

WavePlayers::WavePlayers(std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel, ResultQueue& results,
                         std::unique_ptr<WaveLauncher> launcher)
    : seed_(seed), supply_(supply), cancel_(cancel), results_(results), launcher_(std::move(launcher)) {
  thread_ = std::thread([this] { Play(); });
}

WavePlayers::~WavePlayers() { Join(); }

void WavePlayers::Join() {
  if (thread_.joinable()) thread_.join();
}

void WavePlayers::Play() {
  launcher_->Begin();
  const auto halted = [this] { return cancel_.halt != nullptr && cancel_.halt->load(); };
  std::deque<int> playing;  // slots, the first launched first
  for (;;) {
    while (!halted() && playing.size() < 2) {
      const int slot = playing.empty() ? 0 : 1 - playing.front();
      if (!Fill(slot, playing.empty())) break;
      launcher_->Launch(slot, tasks_[slot]);
      playing.push_back(slot);
    }
    if (playing.empty()) break;
    const int slot = playing.front();
    playing.pop_front();
    HandOver(slot, launcher_->Wait(slot));
  }
  ended_.store(true);
  results_.Wake();
}

bool WavePlayers::Fill(int slot, bool waitForOne) {
  std::vector<DeviceTask>& tasks = tasks_[slot];
  tasks.clear();
  std::optional<BlockTask> task = waitForOne ? supply_.Take() : supply_.TakeIfReady();
  while (task) {
    tasks.push_back({task->block, task->games});
    if (tasks.size() == launcher_->Capacity()) break;
    task = supply_.TakeIfReady();
  }
  return !tasks.empty();
}

// A block past the last one needed is dropped, as the threads drop theirs;
// one that found more heavenly hands than its outcome keeps is played again
// here.
void WavePlayers::HandOver(int slot, const DeviceBlockOutcome* outcomes) {
  const std::vector<DeviceTask>& tasks = tasks_[slot];
  std::uint64_t games = 0;
  for (std::size_t k = 0; k < tasks.size(); ++k) {
    const DeviceTask& task = tasks[k];
    games += task.games;
    const bool pastTheLastNeeded =
        cancel_.lastNeededBlock != nullptr && task.block > cancel_.lastNeededBlock->load(std::memory_order_relaxed);
    if (pastTheLastNeeded) continue;
    std::optional<BlockResult> result = ToBlockResult(task.block, outcomes[k]);
    if (!result) result = PlayBlock(seed_, task.block, task.games, BlockCancel{});
    results_.Post(std::move(*result));
  }
  played_.fetch_add(games, std::memory_order_relaxed);
}

}  // namespace kestrum
