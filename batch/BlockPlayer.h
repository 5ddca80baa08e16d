#pragma once
// Plays one block of a batch with the engine's own shuffle, deal, sort and
// complete-hand test.

#include <atomic>
#include <cstdint>

#include "batch/BlockResult.h"

namespace kestrum {

// Why a block may end before its last game: the whole batch halts (a time
// limit, Ctrl-C), or the block lies past the one that holds the last
// heavenly hand the batch needs. Both are read once a game.
struct BlockCancel {
  const std::atomic<bool>* halt = nullptr;
  const std::atomic<std::uint64_t>* lastNeededBlock = nullptr;

  bool Cancelled(std::uint64_t block) const {
    return (halt != nullptr && halt->load(std::memory_order_relaxed)) ||
           (lastNeededBlock != nullptr && block > lastNeededBlock->load(std::memory_order_relaxed));
  }
};

// Plays games 0..games-1 of the block, fewer when cancelled; the result says
// how many were played. progress, when given, is raised by one per game.
BlockResult PlayBlock(std::uint64_t seed, std::uint64_t block, std::uint32_t games, const BlockCancel& cancel,
                      std::atomic<std::uint64_t>* progress = nullptr);

// The shape of PlayBlock, so that the rules of scheduling and counting can
// be tested with blocks that find heavenly hands far more often.
using BlockPlay = BlockResult (*)(std::uint64_t seed, std::uint64_t block, std::uint32_t games,
                                  const BlockCancel& cancel, std::atomic<std::uint64_t>* progress);

}  // namespace kestrum
