#pragma once
// The messages between the process that counts a batch (rank 0) and the
// others that play blocks for it, over MPI_COMM_WORLD. Each is a few bytes
// in the layout of BlockCodec; only the main thread of a process sends or
// receives.

#include <mpi.h>

#include <optional>
#include <string>
#include <vector>

#include "batch/BlockCodec.h"
#include "batch/BlockSupply.h"

namespace kestrum {

enum MpiTag : int {
  kTagRequest = 1,  // player -> 0: blocks wanted, games played so far
  kTagBlocks,       // 0 -> player: last block needed, whether more will come, blocks to play
  kTagResults,      // player -> 0: games played so far, finished block results
  kTagStop,         // 0 -> player: the batch is over (or halts): stop at once
  kTagEnded,        // player -> 0: games played, the last results; nothing more follows
};

void SendMessage(int to, MpiTag tag, const std::string& bytes);

struct ReceivedMessage {
  int from = 0;
  MpiTag tag = kTagStop;
  std::string bytes;
};
// The next message from `from` (MPI_ANY_SOURCE for any), or nothing when
// none is waiting.
std::optional<ReceivedMessage> TryReceive(int from);

struct BlocksMessage {
  std::uint64_t lastNeeded = 0;
  bool more = true;    // false: no block will follow
  bool answer = true;  // false: only news of lastNeeded
  std::vector<BlockTask> tasks;
};
std::string EncodeBlocks(const BlocksMessage& message);
std::optional<BlocksMessage> DecodeBlocks(const std::string& bytes);

struct ResultsMessage {
  std::uint64_t gamesPlayed = 0;
  std::vector<BlockResult> results;
};
std::string EncodeResults(const ResultsMessage& message);
std::optional<ResultsMessage> DecodeResults(const std::string& bytes);

}  // namespace kestrum
