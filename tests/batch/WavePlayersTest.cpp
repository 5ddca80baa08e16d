// Blocks played in waves, with a launcher that plays the GPU's block code on
// this processor: every block handed over once and whole, waves of any
// size, the halt obeyed between waves, blocks past the last one needed
// dropped, and a block with more heavenly hands than its outcome keeps
// played again by the processor.

#include "batch/WavePlayers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <thread>

#include "batch/BatchSequence.h"
#include "batch/BlockSupply.h"
#include "batch/DeviceOutcome.h"
#include "batch/ResultQueue.h"
#include "batch/TaskQueueSupply.h"

namespace kestrum {
namespace {

constexpr std::uint64_t kSeed = 3;  // block 2 holds a heavenly hand

// Plays each wave when it is waited for; can hold a wave back until told,
// and can claim that one block found more heavenly hands than it did.
class ProcessorLauncher final : public WaveLauncher {
 public:
  explicit ProcessorLauncher(unsigned capacity, std::uint64_t crowdedBlock = ~0ULL)
      : capacity_(capacity), crowdedBlock_(crowdedBlock) {}

  unsigned Capacity() const override { return capacity_; }

  void Launch(int slot, const std::vector<DeviceTask>& tasks) override {
    std::lock_guard lock(mutex_);
    tasks_[slot] = tasks;
    ++launched_;
  }

  const DeviceBlockOutcome* Wait(int slot) override {
    while (held_.load()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    std::vector<DeviceTask> tasks;
    {
      std::lock_guard lock(mutex_);
      tasks = tasks_[slot];
    }
    outcomes_[slot].clear();
    for (const DeviceTask& task : tasks) {
      outcomes_[slot].push_back(PlayDeviceBlockHere(kSeed, task));
      if (task.block == crowdedBlock_) outcomes_[slot].back().finds = kKeptFinds + 1;
    }
    return outcomes_[slot].data();
  }

  // While held, no wave finishes.
  void Hold(bool held) { held_.store(held); }

  int Launched() const {
    std::lock_guard lock(mutex_);
    return launched_;
  }

 private:
  unsigned capacity_;
  std::uint64_t crowdedBlock_;
  mutable std::mutex mutex_;
  std::vector<DeviceTask> tasks_[2];
  std::vector<DeviceBlockOutcome> outcomes_[2];
  int launched_ = 0;
  std::atomic<bool> held_{false};
};

std::map<std::uint64_t, BlockResult> TakeUntilEnded(ResultQueue& results, const WavePlayers& players) {
  std::map<std::uint64_t, BlockResult> byBlock;
  for (;;) {
    const bool ended = players.AllEnded();
    for (BlockResult& result : results.TakeAll(std::chrono::milliseconds(20))) {
      EXPECT_EQ(byBlock.count(result.block), 0u) << "block " << result.block << " handed over twice";
      byBlock[result.block] = std::move(result);
    }
    if (ended) return byBlock;
  }
}

void ExpectCpuBlock(const BlockResult& result, std::uint32_t games) {
  const BlockResult cpu = PlayBlock(kSeed, result.block, games, BlockCancel{});
  EXPECT_EQ(result.games, cpu.games) << result.block;
  ASSERT_EQ(result.finds.size(), cpu.finds.size()) << result.block;
  for (std::size_t k = 0; k < cpu.finds.size(); ++k) {
    EXPECT_EQ(result.finds[k].gameInBlock, cpu.finds[k].gameInBlock);
    EXPECT_EQ(result.finds[k].hand, cpu.finds[k].hand);
  }
}

// Five blocks, the last cut short by the games limit, in waves of one, two
// and eight blocks (three blocks in waves of two where the code runs slowly).
TEST(WavePlayersTest, EveryBlockIsHandedOverOnceAndWhole) {
  BatchLimits limits;
#ifdef KESTRUM_SLOW_BUILD
  limits.games = 2 * kBlockGames + 300;  // block 2 finds at its game 261
  const std::initializer_list<unsigned> capacities = {2u};
#else
  limits.games = 4 * kBlockGames + 100;
  const std::initializer_list<unsigned> capacities = {1u, 2u, 8u};
#endif
  const std::uint64_t blocks = GamesInBlock(limits, 4) > 0 ? 5 : 3;
  for (const unsigned capacity : capacities) {
    std::atomic<std::uint64_t> lastNeeded{blocks - 1};
    std::atomic<bool> halt{false};
    SequenceSupply supply(limits, lastNeeded, 0, {});
    ResultQueue results;
    WavePlayers players(kSeed, supply, BlockCancel{&halt, &lastNeeded}, results,
                        std::make_unique<ProcessorLauncher>(capacity));
    const auto byBlock = TakeUntilEnded(results, players);
    players.Join();
    ASSERT_EQ(byBlock.size(), blocks) << "waves of " << capacity;
    for (const auto& [block, result] : byBlock) ExpectCpuBlock(result, GamesInBlock(limits, block));
    EXPECT_EQ(byBlock.at(2).finds.size(), 1u);
    EXPECT_EQ(players.GamesPlayed(), static_cast<std::uint64_t>(limits.games));
    EXPECT_EQ(players.BlocksWanted(), 2u * capacity);
  }
}

// The halt comes while the first waves play: no wave is started after it,
// and those started are handed over whole.
TEST(WavePlayersTest, HaltStopsTheTakingBetweenWaves) {
  BatchLimits unlimited;
  std::atomic<std::uint64_t> lastNeeded{~0ULL};
  std::atomic<bool> halt{false};
  SequenceSupply supply(unlimited, lastNeeded, 0, {});
  ResultQueue results;
  auto launcher = std::make_unique<ProcessorLauncher>(2);
  ProcessorLauncher& seen = *launcher;
  seen.Hold(true);
  WavePlayers players(kSeed, supply, BlockCancel{&halt, &lastNeeded}, results, std::move(launcher));
  while (seen.Launched() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  halt.store(true);
  seen.Hold(false);
  const auto byBlock = TakeUntilEnded(results, players);
  players.Join();
  EXPECT_EQ(seen.Launched(), 2);
  EXPECT_EQ(byBlock.size(), 4u);
  for (const auto& [block, result] : byBlock) EXPECT_EQ(result.games, kBlockGames) << block;
}

// Block 2 claims more heavenly hands than kept and is played again on the
// processor. The last block needed moves down to 1 once the waves are under
// way; the blocks after it are played but never handed over.
TEST(WavePlayersTest, BlocksPastTheLastNeededAreDroppedAndCrowdedOnesPlayedAgain) {
  BatchLimits unlimited;
  {
    std::atomic<std::uint64_t> lastNeeded{2};
    std::atomic<bool> halt{false};
    SequenceSupply supply(unlimited, lastNeeded, 0, {});
    ResultQueue results;
    WavePlayers players(kSeed, supply, BlockCancel{&halt, &lastNeeded}, results,
                        std::make_unique<ProcessorLauncher>(3, 2));
    const auto byBlock = TakeUntilEnded(results, players);
    ASSERT_EQ(byBlock.size(), 3u);
    ExpectCpuBlock(byBlock.at(2), kBlockGames);
    EXPECT_EQ(byBlock.at(2).finds.size(), 1u);
  }
  std::atomic<std::uint64_t> lastNeeded{7};
  std::atomic<bool> halt{false};
  SequenceSupply supply(unlimited, lastNeeded, 0, {});
  ResultQueue results;
  auto launcher = std::make_unique<ProcessorLauncher>(2);
  ProcessorLauncher& seen = *launcher;
  seen.Hold(true);
  WavePlayers players(kSeed, supply, BlockCancel{&halt, &lastNeeded}, results, std::move(launcher));
  while (seen.Launched() < 2) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  lastNeeded.store(1);
  seen.Hold(false);
  const auto byBlock = TakeUntilEnded(results, players);
  EXPECT_EQ(byBlock.size(), 2u);
  EXPECT_EQ(byBlock.count(0) + byBlock.count(1), 2u);
}

// Blocks handed from another process: the first is waited for, the rest of
// a wave taken as they are; closing the queue ends the players.
TEST(WavePlayersTest, BlocksFromAnotherProcessAreWaitedForUntilTheQueueCloses) {
  TaskQueueSupply supply;
  std::atomic<std::uint64_t> lastNeeded{~0ULL};
  std::atomic<bool> halt{false};
  ResultQueue results;
  WavePlayers players(kSeed, supply, BlockCancel{&halt, &lastNeeded}, results, std::make_unique<ProcessorLauncher>(8));
  EXPECT_FALSE(supply.TakeIfReady().has_value());
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  EXPECT_FALSE(players.AllEnded());
  supply.Push({{7, 100}, {3, 1024}});
  std::vector<BlockResult> got;
  while (got.size() < 2)
    for (BlockResult& result : results.TakeAll(std::chrono::milliseconds(20))) got.push_back(std::move(result));
  supply.Close();
  players.Join();
  EXPECT_TRUE(players.AllEnded());
  ASSERT_EQ(got.size(), 2u);
  EXPECT_EQ(got[0].block, 7u);
  EXPECT_EQ(got[0].games, 100u);
  EXPECT_EQ(got[1].block, 3u);
}

}  // namespace
}  // namespace kestrum
