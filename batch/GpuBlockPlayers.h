#pragma once
// The blocks of a batch played on a CUDA GPU, in waves that fill every
// multiprocessor, one GPU thread a block (see DeviceBlock.h).

#include <memory>
#include <string>

#include "batch/BlockPlayers.h"

namespace kestrum {

bool BuiltWithCuda();

struct GpuCheck {
  bool usable = false;
  std::string problem;  // when not usable, in a few words
  std::string name;     // when usable: the card this process plays on
};

// Whether this process can play on a GPU: the build has CUDA, a driver and
// a card are there. Under a launcher that starts several processes on one
// machine, each takes its own card by its local rank, where there are enough.
GpuCheck CheckGpu();

// Only after CheckGpu() found one usable. A GPU that fails while it plays
// ends the process with a message and exit code 1: a batch that counts less
// than it played is never reported, and a checkpoint carries it on.
std::unique_ptr<BlockPlayers> StartGpuBlockPlayers(std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel,
                                                   ResultQueue& results);

}  // namespace kestrum

#ifdef KESTRUM_HAVE_CUDA
namespace kestrum {

// What the benchmarks measure against: the card and its shared memory's
// limit on exchanges, 32 banks a multiprocessor, one access a bank a clock,
// four accesses (two loads, two stores) an exchange.
struct GpuFacts {
  std::string name;
  int multiprocessors = 0;
  double clockHz = 0.0;
  double ExchangeLimitPerSecond() const { return multiprocessors * 32.0 * clockHz / 4.0; }
};
GpuFacts ReadGpuFacts();

// Plays `waves` full waves of the seed's first blocks, each of
// threadsPerBlock GPU threads to a CUDA block and blocksPerSm of those to a
// multiprocessor (0: as many as fit), the second queued behind the first;
// the outcomes are dropped.
struct GpuTiming {
  double seconds = 0.0;  // from the first launch to the last result
  std::uint64_t blocks = 0;
};
GpuTiming TimeGpuWaves(std::uint64_t seed, int waves, int threadsPerBlock, int blocksPerSm);

}  // namespace kestrum
#endif
