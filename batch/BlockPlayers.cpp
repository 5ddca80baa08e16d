#include "batch/BlockPlayers.h"

#include <algorithm>

#include "batch/BlockWorkers.h"
#include "batch/GpuBlockPlayers.h"

namespace kestrum {

std::unique_ptr<BlockPlayers> StartBlockPlayers(const BatchOptions& options, BlockSupply& supply,
                                                const BlockCancel& cancel, ResultQueue& results, BlockPlay play) {
  if (options.device == BatchDevice::kCuda) return StartGpuBlockPlayers(options.seed, supply, cancel, results);
  return std::make_unique<BlockWorkers>(std::max(1, options.threads), options.seed, supply, cancel, results, play);
}

}  // namespace kestrum
