#pragma once
// The threads of one process that play blocks: each takes the next block
// from the supply, plays it and posts the result, until the supply runs dry
// or the batch halts.

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "batch/BlockPlayers.h"

namespace kestrum {

class BlockWorkers final : public BlockPlayers {
 public:
  // Starts the threads at once. A block cut short because it lies past the
  // last one needed is dropped; one cut short by a halt is posted with the
  // games it played.
  BlockWorkers(int threads, std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel, ResultQueue& results,
               BlockPlay play = PlayBlock);
  ~BlockWorkers() override;  // joins
  BlockWorkers(const BlockWorkers&) = delete;
  BlockWorkers& operator=(const BlockWorkers&) = delete;

  // Games played by every thread so far, whole blocks or not.
  std::uint64_t GamesPlayed() const override;
  // Every thread has ended.
  bool AllEnded() const override { return ended_.load() == static_cast<int>(threads_.size()); }
  void Join() override;
  std::size_t BlocksWanted() const override { return threads_.size(); }

 private:
  void Play(std::size_t thread);

  // One counter a cache line, so that the threads do not slow each other.
  struct alignas(64) Counter {
    std::atomic<std::uint64_t> games{0};
  };

  std::uint64_t seed_;
  BlockPlay play_;
  BlockSupply& supply_;
  BlockCancel cancel_;
  ResultQueue& results_;
  std::vector<Counter> played_;
  std::atomic<int> ended_{0};
  std::vector<std::thread> threads_;
};

}  // namespace kestrum
