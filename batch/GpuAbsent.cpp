// A build without the CUDA toolkit: no GPU can be played on.

#include <stdexcept>

#include "batch/GpuBlockPlayers.h"

namespace kestrum {

bool BuiltWithCuda() { return false; }

GpuCheck CheckGpu() { return {false, "this kestrum-sim was built without CUDA", ""}; }

std::unique_ptr<BlockPlayers> StartGpuBlockPlayers(std::uint64_t, BlockSupply&, const BlockCancel&, ResultQueue&) {
  throw std::logic_error("a GPU batch in a build without CUDA");
}

}  // namespace kestrum
