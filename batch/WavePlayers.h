#pragma once
// Blocks played in waves by something that plays many at once (a GPU): the
// next wave is taken and started while the last one plays, and each wave's
// results are handed over once it is done. The batch's halt stops the
// taking; the waves already playing are whole blocks and are handed over.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "batch/BlockPlayers.h"
#include "batch/DeviceBlock.h"

namespace kestrum {

// Plays waves in two slots, so that one can play while the other is filled.
class WaveLauncher {
 public:
  virtual ~WaveLauncher() = default;
  // The most blocks a wave holds.
  virtual unsigned Capacity() const = 0;
  // Called first on the thread that launches and waits.
  virtual void Begin() {}
  // Starts a wave in slot 0 or 1 and returns at once.
  virtual void Launch(int slot, const std::vector<DeviceTask>& tasks) = 0;
  // Waits for the slot's wave; its outcomes, one a task in the same order,
  // stay valid until the slot is launched again.
  virtual const DeviceBlockOutcome* Wait(int slot) = 0;
};

class WavePlayers final : public BlockPlayers {
 public:
  // Starts the thread at once.
  WavePlayers(std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel, ResultQueue& results,
              std::unique_ptr<WaveLauncher> launcher);
  ~WavePlayers() override;  // joins
  WavePlayers(const WavePlayers&) = delete;
  WavePlayers& operator=(const WavePlayers&) = delete;

  std::uint64_t GamesPlayed() const override { return played_.load(std::memory_order_relaxed); }
  bool AllEnded() const override { return ended_.load(); }
  void Join() override;
  // Two waves' worth, so that the next wave can be filled while one plays.
  std::size_t BlocksWanted() const override { return 2 * static_cast<std::size_t>(launcher_->Capacity()); }

 private:
  void Play();
  // Takes blocks up to a wave's size into the slot, waiting for the first
  // only when told to; false when none was taken.
  bool Fill(int slot, bool waitForOne);
  void HandOver(int slot, const DeviceBlockOutcome* outcomes);

  std::uint64_t seed_;
  BlockSupply& supply_;
  BlockCancel cancel_;
  ResultQueue& results_;
  std::unique_ptr<WaveLauncher> launcher_;
  std::vector<DeviceTask> tasks_[2];
  std::atomic<std::uint64_t> played_{0};
  std::atomic<bool> ended_{false};
  std::thread thread_;  // last: it starts at once and uses the members above
};

}  // namespace kestrum
