#pragma once
// Other processes that play blocks of the same batch, seen from the one that
// counts them: the counting loop lets them take blocks from its supply and
// takes their results, whatever carries the messages.

#include <cstdint>
#include <vector>

#include "batch/BlockResult.h"

namespace kestrum {

class BlockSupply;

class BatchPeers {
 public:
  virtual ~BatchPeers() = default;
  // Answers the peers' requests for blocks from the supply, tells them the
  // last block still needed, and returns the results they sent meanwhile.
  virtual std::vector<BlockResult> Exchange(BlockSupply& supply, std::uint64_t lastNeeded) = 0;
  // Games the peers have played so far, for the progress bar.
  virtual std::uint64_t GamesPlayed() const = 0;
  // Tells every peer to stop and waits until each has sent its last
  // results, which it returns.
  virtual std::vector<BlockResult> StopAll() = 0;
  virtual int Processes() const = 0;  // the counting one included
};

}  // namespace kestrum
