#pragma once
// Hands out the blocks of a batch to whoever plays them, in ascending order,
// so that the blocks finished at any moment lie close to the front of the
// sequence and few wait for an earlier one.

#include <atomic>
#include <cstdint>
#include <optional>
#include <vector>

#include "batch/BatchResult.h"

namespace kestrum {

struct BlockTask {
  std::uint64_t block = 0;
  std::uint32_t games = 0;
};

class BlockSupply {
 public:
  virtual ~BlockSupply() = default;
  // The next block to play, or nothing when no block is left to hand out.
  // Safe to call from several threads at once.
  virtual std::optional<BlockTask> Take() = 0;
  // The next block when one is at hand, without waiting for one to come.
  virtual std::optional<BlockTask> TakeIfReady() { return Take(); }
};

// The blocks from `first` on, skipping those already finished, up to the
// last one the sequence still needs (which may move down while it runs).
class SequenceSupply final : public BlockSupply {
 public:
  SequenceSupply(const BatchLimits& limits, const std::atomic<std::uint64_t>& lastNeeded, std::uint64_t first,
                 std::vector<std::uint64_t> finished);
  std::optional<BlockTask> Take() override;

 private:
  BatchLimits limits_;
  const std::atomic<std::uint64_t>& lastNeeded_;
  std::vector<std::uint64_t> finished_;  // sorted
  std::atomic<std::uint64_t> next_;
};

}  // namespace kestrum
