#include "batch/MpiMessages.h"

namespace kestrum {

void SendMessage(int to, MpiTag tag, const std::string& bytes) {
  MPI_Send(bytes.data(), static_cast<int>(bytes.size()), MPI_BYTE, to, tag, MPI_COMM_WORLD);
}

std::optional<ReceivedMessage> TryReceive(int from) {
  int waiting = 0;
  MPI_Status status;
  MPI_Iprobe(from, MPI_ANY_TAG, MPI_COMM_WORLD, &waiting, &status);
  if (!waiting) return std::nullopt;
  int size = 0;
  MPI_Get_count(&status, MPI_BYTE, &size);
  ReceivedMessage message;
  message.from = status.MPI_SOURCE;
  message.tag = static_cast<MpiTag>(status.MPI_TAG);
  message.bytes.resize(static_cast<std::size_t>(size));
  MPI_Recv(message.bytes.data(), size, MPI_BYTE, status.MPI_SOURCE, status.MPI_TAG, MPI_COMM_WORLD, MPI_STATUS_IGNORE);
  return message;
}

std::string EncodeBlocks(const BlocksMessage& message) {
  ByteWriter out;
  out.U64(message.lastNeeded);
  out.U8(message.more ? 1 : 0);
  out.U8(message.answer ? 1 : 0);
  out.U32(static_cast<std::uint32_t>(message.tasks.size()));
  for (const BlockTask& task : message.tasks) {
    out.U64(task.block);
    out.U32(task.games);
  }
  return out.Take();
}

std::optional<BlocksMessage> DecodeBlocks(const std::string& bytes) {
  ByteReader in(bytes);
  BlocksMessage message;
  message.lastNeeded = in.U64();
  message.more = in.U8() != 0;
  message.answer = in.U8() != 0;
  const std::uint32_t count = in.U32();
  if (!in.CountFits(count, 12)) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    BlockTask task;
    task.block = in.U64();
    task.games = in.U32();
    message.tasks.push_back(task);
  }
  if (!in.Ok() || in.Left() != 0) return std::nullopt;
  return message;
}

std::string EncodeResults(const ResultsMessage& message) {
  ByteWriter out;
  out.U64(message.gamesPlayed);
  out.U32(static_cast<std::uint32_t>(message.results.size()));
  for (const BlockResult& result : message.results) WriteBlockResult(out, result);
  return out.Take();
}

std::optional<ResultsMessage> DecodeResults(const std::string& bytes) {
  ByteReader in(bytes);
  ResultsMessage message;
  message.gamesPlayed = in.U64();
  const std::uint32_t count = in.U32();
  if (!in.CountFits(count, 16)) return std::nullopt;
  for (std::uint32_t i = 0; i < count; ++i) {
    auto result = ReadBlockResult(in);
    if (!result) return std::nullopt;
    message.results.push_back(std::move(*result));
  }
  if (in.Left() != 0) return std::nullopt;
  return message;
}

}  // namespace kestrum
