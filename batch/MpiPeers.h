#pragma once
// The other MPI processes of a batch, as the counting process (rank 0) sees
// them: they ask for blocks, which it hands out from its own supply in
// sequence order, and send back what they played.

#include <vector>

#include "batch/BatchPeers.h"

namespace kestrum {

class MpiPeers final : public BatchPeers {
 public:
  explicit MpiPeers(int processes);

  std::vector<BlockResult> Exchange(BlockSupply& supply, std::uint64_t lastNeeded) override;
  std::uint64_t GamesPlayed() const override;
  std::vector<BlockResult> StopAll() override;
  int Processes() const override { return processes_; }

 private:
  // Handles every message waiting; results go to `received`.
  void Serve(BlockSupply* supply, std::uint64_t lastNeeded, std::vector<BlockResult>& received);
  void AnswerRequest(int from, const std::string& bytes, BlockSupply* supply, std::uint64_t lastNeeded);
  void TellLastNeeded(std::uint64_t lastNeeded);

  int processes_;
  std::vector<std::uint64_t> played_;
  std::vector<bool> ended_;
  std::uint64_t toldLastNeeded_;
};

}  // namespace kestrum
