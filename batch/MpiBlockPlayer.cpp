#include "batch/MpiBlockPlayer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>

#include "batch/BatchSequence.h"
#include "batch/BlockPlayers.h"
#include "batch/MpiMessages.h"
#include "batch/ResultQueue.h"
#include "batch/TaskQueueSupply.h"
#include "engine/HandDistance.h"

namespace kestrum {
namespace {

constexpr auto kLoopPeriod = std::chrono::milliseconds(2);

class RankZeroLink {
 public:
  explicit RankZeroLink(std::size_t wanted) : wanted_(wanted) {}

  // Keeps a few blocks per player waiting (a GPU's wave counts as that many
  // players), so that none idles while a request travels.
  void AskForBlocksIfLow(const TaskQueueSupply& supply, std::uint64_t played) {
    if (asked_ || noMore_ || supply.Waiting() >= wanted_) return;
    ByteWriter request;
    request.U32(static_cast<std::uint32_t>(2 * wanted_));
    request.U64(played);
    SendMessage(0, kTagRequest, request.Data());
    asked_ = true;
  }

  void SendResults(std::vector<BlockResult> results, std::uint64_t played, MpiTag tag) {
    if (results.empty() && tag == kTagResults) return;
    SendMessage(0, tag, EncodeResults({played, std::move(results)}));
  }

  // Returns false once rank 0 has said stop.
  bool Listen(TaskQueueSupply& supply, std::atomic<std::uint64_t>& lastNeeded, std::atomic<bool>& halt) {
    while (const auto message = TryReceive(0)) {
      if (message->tag == kTagStop) {
        halt.store(true);
        supply.Close();
        return false;
      }
      const auto blocks = message->tag == kTagBlocks ? DecodeBlocks(message->bytes) : std::nullopt;
      if (!blocks) {
        std::fprintf(stderr, "kestrum-sim run: an unreadable message from process 0; ending the whole job\n");
        MPI_Abort(MPI_COMM_WORLD, 1);
        std::abort();
      }
      lastNeeded.store(blocks->lastNeeded);
      if (!blocks->answer) continue;
      asked_ = false;
      supply.Push(blocks->tasks);
      noMore_ = !blocks->more;
    }
    return true;
  }

 private:
  std::size_t wanted_;
  bool asked_ = false;
  bool noMore_ = false;
};

}  // namespace

void PlayBlocksForRankZero(const BatchOptions& options) {
  SharedDistanceTables();  // before the first block, as the first process does
  TaskQueueSupply supply;
  std::atomic<std::uint64_t> lastNeeded{BatchSequence::kNoBlock};
  std::atomic<bool> halt{false};
  ResultQueue results;
  const std::unique_ptr<BlockPlayers> players =
      StartBlockPlayers(options, supply, BlockCancel{&halt, &lastNeeded}, results);
  BlockPlayers& workers = *players;
  RankZeroLink link(workers.BlocksWanted());
  bool running = true;
  while (running) {
    link.SendResults(results.TakeAll(kLoopPeriod), workers.GamesPlayed(), kTagResults);
    running = link.Listen(supply, lastNeeded, halt);
    if (running) link.AskForBlocksIfLow(supply, workers.GamesPlayed());
  }
  workers.Join();
  link.SendResults(results.TakeAll(std::chrono::milliseconds(0)), workers.GamesPlayed(), kTagEnded);
}

}  // namespace kestrum
