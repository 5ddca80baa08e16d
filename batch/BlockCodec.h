#pragma once
// Block results and counted heavenly hands as bytes: the one layout that a
// checkpoint file and the messages between processes share. Little-endian,
// fixed widths, every count checked against the bytes that are left, so
// that damaged input is refused instead of trusted.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/BatchResult.h"
#include "batch/BlockResult.h"

namespace kestrum {

class ByteWriter {
 public:
  void U8(std::uint8_t value) { bytes_.push_back(static_cast<char>(value)); }
  void U32(std::uint32_t value);
  void U64(std::uint64_t value);
  void Bytes(std::string_view bytes) { bytes_.append(bytes); }
  const std::string& Data() const { return bytes_; }
  std::string Take() { return std::move(bytes_); }

 private:
  std::string bytes_;
};

// Reads until the first failure; after it every read gives 0 and Ok() is
// false, so a decoder checks once at the end of each record.
class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}
  std::uint8_t U8();
  std::uint32_t U32();
  std::uint64_t U64();
  std::string_view Bytes(std::size_t count);
  bool Ok() const { return ok_; }
  std::size_t Left() const { return bytes_.size() - at_; }
  // A count of records of `size` bytes each that cannot fit in what is left
  // marks the input as damaged before anything is allocated for it.
  bool CountFits(std::uint64_t count, std::size_t size);

 private:
  std::string_view bytes_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

// What a counted heavenly hand needs to be counted again: its place, form
// and hand; the runs and counts follow from the sequence.
void WriteFind(ByteWriter& out, const TenhouFind& find);
std::optional<BlockFind> ReadBlockFind(ByteReader& in, std::uint32_t gamesInBlock);

// The two histograms of games by distance, dealer's first.
void WriteDistances(ByteWriter& out, const GameDistances& distances);
void WriteDistanceTally(ByteWriter& out, const DistanceTally& tally);
std::optional<DistanceTally> ReadDistanceTally(ByteReader& in);

void WriteBlockResult(ByteWriter& out, const BlockResult& result);
// Refuses a result whose heavenly hands are out of order, past its games,
// of no form, or whose hand is no sorted hand of tile codes, and one whose
// distances do not count its games (each histogram, and each heavenly
// hand's histograms through its game).
std::optional<BlockResult> ReadBlockResult(ByteReader& in);

inline constexpr std::size_t kFindBytes = 4 + 1 + kHandSize;  // game, form, hand
inline constexpr std::size_t kDistancesBytes = 2 * kDistanceSlots * 4;
inline constexpr std::size_t kBlockFindBytes = kFindBytes + kDistancesBytes;

}  // namespace kestrum
