#pragma once
// The life of an MPI process other than rank 0 in a batch: its threads play
// the blocks rank 0 hands it and it sends back the results, printing
// nothing, until rank 0 says the batch is over.

#include "batch/BatchResult.h"

namespace kestrum {

void PlayBlocksForRankZero(const BatchOptions& options);

}  // namespace kestrum
