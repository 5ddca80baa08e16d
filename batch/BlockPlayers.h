#pragma once
// Whatever plays the blocks of one process: the processor's threads or a
// GPU. Each takes blocks from the supply and posts their results until the
// supply runs dry or the batch halts.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "batch/BatchResult.h"
#include "batch/BlockPlayer.h"

namespace kestrum {

class BlockSupply;
class ResultQueue;

class BlockPlayers {
 public:
  virtual ~BlockPlayers() = default;
  // Games played so far, whole blocks or not.
  virtual std::uint64_t GamesPlayed() const = 0;
  // Every player has ended.
  virtual bool AllEnded() const = 0;
  virtual void Join() = 0;
  // Blocks worth keeping ready for them, so that none waits while more are
  // asked for from another process.
  virtual std::size_t BlocksWanted() const = 0;
};

// The players options.device names, started at once. play is the CPU's block
// (the tests put in others); a GPU plays the engine's blocks only.
std::unique_ptr<BlockPlayers> StartBlockPlayers(const BatchOptions& options, BlockSupply& supply,
                                                const BlockCancel& cancel, ResultQueue& results,
                                                BlockPlay play = PlayBlock);

}  // namespace kestrum
