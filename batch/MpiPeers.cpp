#include "batch/MpiPeers.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <numeric>
#include <thread>

#include "batch/BatchSequence.h"
#include "batch/MpiMessages.h"

namespace kestrum {
namespace {

constexpr std::uint32_t kMaxBlocksPerAnswer = 256;

// A message that cannot be read means the processes do not run the same
// program; nothing it says can be counted.
[[noreturn]] void AbortJob(const char* what, int from) {
  std::fprintf(stderr, "kestrum-sim run: %s from process %d; ending the whole job\n", what, from);
  MPI_Abort(MPI_COMM_WORLD, 1);
  std::abort();
}

}  // namespace

MpiPeers::MpiPeers(int processes)
    : processes_(processes),
      played_(static_cast<std::size_t>(processes), 0),
      ended_(static_cast<std::size_t>(processes), false),
      toldLastNeeded_(BatchSequence::kNoBlock) {
  ended_[0] = true;  // the counting process itself
}

std::vector<BlockResult> MpiPeers::Exchange(BlockSupply& supply, std::uint64_t lastNeeded) {
  std::vector<BlockResult> received;
  Serve(&supply, lastNeeded, received);
  if (lastNeeded != toldLastNeeded_) TellLastNeeded(lastNeeded);
  return received;
}

std::uint64_t MpiPeers::GamesPlayed() const {
  return std::accumulate(played_.begin(), played_.end(), std::uint64_t{0});
}

std::vector<BlockResult> MpiPeers::StopAll() {
  for (int peer = 1; peer < processes_; ++peer) SendMessage(peer, kTagStop, {});
  std::vector<BlockResult> received;
  while (!std::all_of(ended_.begin(), ended_.end(), [](bool ended) { return ended; })) {
    Serve(nullptr, toldLastNeeded_, received);
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return received;
}

void MpiPeers::Serve(BlockSupply* supply, std::uint64_t lastNeeded, std::vector<BlockResult>& received) {
  while (const auto message = TryReceive(MPI_ANY_SOURCE)) {
    const auto peer = static_cast<std::size_t>(message->from);
    switch (message->tag) {
      case kTagRequest: AnswerRequest(message->from, message->bytes, supply, lastNeeded); break;
      case kTagResults:
      case kTagEnded: {
        auto results = DecodeResults(message->bytes);
        if (!results) AbortJob("an unreadable result", message->from);
        played_[peer] = results->gamesPlayed;
        for (BlockResult& result : results->results) received.push_back(std::move(result));
        if (message->tag == kTagEnded) ended_[peer] = true;
        break;
      }
      default: AbortJob("an unexpected message", message->from);
    }
  }
}

void MpiPeers::AnswerRequest(int from, const std::string& bytes, BlockSupply* supply, std::uint64_t lastNeeded) {
  ByteReader in(bytes);
  const std::uint32_t wanted = std::min(in.U32(), kMaxBlocksPerAnswer);
  played_[static_cast<std::size_t>(from)] = in.U64();
  if (!in.Ok()) AbortJob("an unreadable request", from);
  BlocksMessage answer;
  answer.lastNeeded = lastNeeded;
  for (std::uint32_t i = 0; supply != nullptr && i < wanted; ++i) {
    const auto task = supply->Take();
    if (!task) break;
    answer.tasks.push_back(*task);
  }
  // An empty answer means the supply ran dry (or the batch is ending).
  answer.more = !answer.tasks.empty();
  SendMessage(from, kTagBlocks, EncodeBlocks(answer));
}

void MpiPeers::TellLastNeeded(std::uint64_t lastNeeded) {
  BlocksMessage news;
  news.lastNeeded = lastNeeded;
  news.answer = false;
  for (int peer = 1; peer < processes_; ++peer)
    if (!ended_[static_cast<std::size_t>(peer)]) SendMessage(peer, kTagBlocks, EncodeBlocks(news));
  toldLastNeeded_ = lastNeeded;
}

}  // namespace kestrum
