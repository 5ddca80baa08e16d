#pragma once
// A block's outcome from the GPU as the rest of the batch takes it.

#include <cstdint>
#include <optional>

#include "batch/BlockResult.h"
#include "batch/DeviceBlock.h"

namespace kestrum {

// The block's result with its hands sorted as the engine sorts them, or
// nothing when the block found more heavenly hands than the outcome keeps
// (the processor then plays it again).
std::optional<BlockResult> ToBlockResult(std::uint64_t block, const DeviceBlockOutcome& outcome);

// The outcome of a block played where it stands, on this processor.
DeviceBlockOutcome PlayDeviceBlockHere(std::uint64_t seed, const DeviceTask& task);

}  // namespace kestrum
