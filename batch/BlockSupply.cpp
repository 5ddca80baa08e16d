#include "batch/BlockSupply.h"

#include <algorithm>

#include "batch/BatchSequence.h"

namespace kestrum {

SequenceSupply::SequenceSupply(const BatchLimits& limits, const std::atomic<std::uint64_t>& lastNeeded,
                               std::uint64_t first, std::vector<std::uint64_t> finished)
    : limits_(limits), lastNeeded_(lastNeeded), finished_(std::move(finished)), next_(first) {
  std::sort(finished_.begin(), finished_.end());
}

std::optional<BlockTask> SequenceSupply::Take() {
  for (;;) {
    const std::uint64_t block = next_.fetch_add(1, std::memory_order_relaxed);
    if (block > lastNeeded_.load(std::memory_order_relaxed)) return std::nullopt;
    if (std::binary_search(finished_.begin(), finished_.end(), block)) continue;
    return BlockTask{block, GamesInBlock(limits_, block)};
  }
}

}  // namespace kestrum
