#pragma once
// What one block plays on: its generator and its wall.

#include <cstdint>

#include "batch/BlockRandom.h"
#include "engine/Tiles.h"

namespace kestrum {

// The wall and the generator's buffers share one 4 KB page, so that no load
// from the wall has the low twelve address bits of a buffer store in flight,
// which the processor may take for the same address and wait on (measured:
// a block played 10 to 20% faster than with the two apart on the stack).
struct alignas(4096) BlockTables {
  BlockTables(std::uint64_t seed, std::uint64_t block, BlockRandom::Kernel kernel = BlockRandom::BestKernel())
      : source(seed, block, kernel) {
    FillWall(wall);
  }

  BlockRandom source;
  // A whole word per tile, like the window's wall. A byte per tile would
  // take a third of the cache lines, but then nearly every load of an
  // exchange lands in a word that a store still in flight is writing, and
  // the load seems to wait for it: on the AMD Zen 3 this was measured on,
  // the same games ran 1.3 to 1.6 times as slow on bytes.
  Wall wall;
};

static_assert(sizeof(BlockTables) == 4096, "the wall and the generator fit one page");

}  // namespace kestrum
