#include "batch/Checkpoint.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>

#include "batch/BlockCodec.h"

namespace kestrum {
namespace {

constexpr std::string_view kMagic = "KESTRUM-CHECKPOINT\n";
// Format 2: the blocks' generator has four lanes. A checkpoint of format 1
// has the same layout but holds the games of the earlier generator, which
// the same seed no longer plays. Format 3 adds the games' distances.
constexpr std::uint32_t kFormat = 3;
constexpr std::size_t kVersionBytes = 16;
constexpr std::size_t kChecksumBytes = 8;
// Far beyond any batch (10^15 games is the largest limit), and small enough
// that block * kBlockGames never overflows.
constexpr std::uint64_t kMaxBlocks = std::uint64_t{1} << 50;

std::string PaddedVersion() {
  std::string version(kProgramVersion);
  version.resize(kVersionBytes, '\0');
  return version;
}

std::string Trimmed(std::string_view padded) {
  const auto end = padded.find('\0');
  std::string text(padded.substr(0, end));
  for (char& c : text)
    if (c < 0x20 || c > 0x7E) c = '?';
  return text;
}

std::string LimitText(Count64 value) { return value > 0 ? std::to_string(value) : std::string("none"); }

std::optional<std::string> KeyMismatch(ByteReader& in, const BatchOptions& batch) {
  const std::string_view paddedVersion = in.Bytes(kVersionBytes);
  const std::uint32_t blockGames = in.U32();
  const std::uint64_t seed = in.U64();
  const auto games = static_cast<Count64>(in.U64());
  const auto tenhou = static_cast<Count64>(in.U64());
  if (!in.Ok()) return "it is cut short";
  if (paddedVersion != PaddedVersion())
    return "it was made by version " + Trimmed(paddedVersion) + ", this is " + std::string(kProgramVersion);
  if (blockGames != kBlockGames)
    return "its blocks hold " + std::to_string(blockGames) + " games, not " + std::to_string(kBlockGames);
  if (seed != batch.seed)
    return "it was made with --seed " + std::to_string(seed) + ", not " + std::to_string(batch.seed);
  if (games != batch.limits.games)
    return "it was made with --games " + LimitText(games) + ", not " + LimitText(batch.limits.games);
  if (tenhou != batch.limits.tenhou)
    return "it was made with --tenhou " + LimitText(tenhou) + ", not " + LimitText(batch.limits.tenhou);
  return std::nullopt;
}

Count64 DistanceGames(const DistanceTally& tally) {
  Count64 games = 0;
  for (const Count64 slot : tally.dealer) games += slot;
  return games;
}

bool ReadFinds(ByteReader& in, SequenceState& state) {
  const std::uint64_t count = in.U64();
  if (!in.CountFits(count, 8 + kFindBytes)) return false;
  state.finds.reserve(count);
  for (std::uint64_t i = 0; i < count; ++i) {
    TenhouFind find;
    find.block = in.U64();
    const auto part = ReadBlockFind(in, kBlockGames);
    if (!part || find.block >= state.countedBlocks) return false;
    find.gameInBlock = part->gameInBlock;
    find.form = part->form;
    find.hand = part->hand;
    find.sequenceIndex = SequenceIndex(find.block, find.gameInBlock);
    if (!state.finds.empty() && find.sequenceIndex <= state.finds.back().sequenceIndex) return false;
    state.finds.push_back(find);
  }
  return true;
}

bool ReadWaiting(ByteReader& in, const BatchLimits& limits, SequenceState& state) {
  const std::uint64_t count = in.U64();
  if (!in.CountFits(count, 16)) return false;
  for (std::uint64_t i = 0; i < count; ++i) {
    auto result = ReadBlockResult(in);
    if (!result || result->block < state.countedBlocks || result->block >= kMaxBlocks ||
        result->games != GamesInBlock(limits, result->block) || result->games == 0)
      return false;
    if (!state.waiting.empty() && result->block <= state.waiting.back().block) return false;
    state.waiting.push_back(std::move(*result));
  }
  return true;
}

}  // namespace

std::uint64_t CheckpointChecksum(std::string_view bytes) {
  std::uint64_t hash = 0xCBF29CE484222325ULL;
  for (const char c : bytes) {
    hash ^= static_cast<std::uint8_t>(c);
    hash *= 0x100000001B3ULL;
  }
  return hash;
}

std::string EncodeCheckpoint(const BatchOptions& batch, const SequenceState& state) {
  ByteWriter out;
  out.Bytes(kMagic);
  out.U32(kFormat);
  out.Bytes(PaddedVersion());
  out.U32(kBlockGames);
  out.U64(batch.seed);
  out.U64(static_cast<std::uint64_t>(batch.limits.games));
  out.U64(static_cast<std::uint64_t>(batch.limits.tenhou));
  out.U64(state.countedBlocks);
  out.U64(state.finds.size());
  for (const TenhouFind& find : state.finds) WriteFind(out, find);
  WriteDistanceTally(out, state.distances);
  out.U64(state.waiting.size());
  for (const BlockResult& result : state.waiting) WriteBlockResult(out, result);
  out.U64(CheckpointChecksum(out.Data()));
  return out.Take();
}

CheckpointRead DecodeCheckpoint(std::string_view bytes, const BatchOptions& batch) {
  if (!bytes.starts_with(kMagic)) return {std::nullopt, "it is not a Kestrum checkpoint"};
  if (bytes.size() < kMagic.size() + kChecksumBytes) return {std::nullopt, "it is cut short"};
  const std::string_view body = bytes.substr(0, bytes.size() - kChecksumBytes);
  ByteReader tail(bytes.substr(body.size()));
  if (tail.U64() != CheckpointChecksum(body))
    return {std::nullopt, "it is damaged or cut short (its checksum does not hold)"};

  ByteReader in(body.substr(kMagic.size()));
  const std::uint32_t format = in.U32();
  if (format == 1) return {std::nullopt, "it was made by an earlier build, whose games with this seed differ"};
  if (format == 2) return {std::nullopt, "it was made by an earlier build, which did not count the games' distances"};
  if (format != kFormat) return {std::nullopt, "it is of another format"};
  if (const auto mismatch = KeyMismatch(in, batch)) return {std::nullopt, *mismatch};
  SequenceState state;
  state.countedBlocks = in.U64();
  if (!in.Ok() || state.countedBlocks > kMaxBlocks) return {std::nullopt, "it is damaged (block count)"};
  if (!ReadFinds(in, state)) return {std::nullopt, "it is damaged (heavenly hands)"};
  const auto distances = ReadDistanceTally(in);
  if (!distances || static_cast<std::uint64_t>(DistanceGames(*distances)) > state.countedBlocks * kBlockGames)
    return {std::nullopt, "it is damaged (distances)"};
  state.distances = *distances;
  if (!ReadWaiting(in, batch.limits, state)) return {std::nullopt, "it is damaged (finished blocks)"};
  if (in.Left() != 0) return {std::nullopt, "it is damaged (bytes after the end)"};
  return {std::move(state), {}};
}

std::optional<std::string> SaveCheckpointFile(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path temporary = file.string() + ".part";
  const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return std::string(std::strerror(errno));
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t now = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (now < 0 && errno == EINTR) continue;
    if (now <= 0) {
      const std::string problem = std::strerror(errno);
      ::close(fd);
      ::unlink(temporary.c_str());
      return problem;
    }
    written += static_cast<std::size_t>(now);
  }
  const bool synced = ::fsync(fd) == 0;
  const int syncError = errno;
  ::close(fd);
  if (!synced || ::rename(temporary.c_str(), file.c_str()) != 0) {
    const std::string problem = std::strerror(synced ? errno : syncError);
    ::unlink(temporary.c_str());
    return problem;
  }
  // The rename itself reaches the disk with the directory.
  const std::filesystem::path directory = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
  const int dir = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

CheckpointFile LoadCheckpointFile(const std::filesystem::path& file) {
  CheckpointFile loaded;
  std::error_code error;
  if (!std::filesystem::exists(file, error)) return loaded;
  loaded.exists = true;
  std::ifstream in(file, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  if (!in && !in.eof()) loaded.problem = "it cannot be read";
  if (std::filesystem::is_directory(file, error)) loaded.problem = "it is a directory";
  loaded.bytes = bytes.str();
  return loaded;
}

}  // namespace kestrum
