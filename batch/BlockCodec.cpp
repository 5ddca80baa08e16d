#include "batch/BlockCodec.h"

#include <algorithm>

namespace kestrum {
namespace {

bool IsSortedHandOfCodes(const CompactHand& hand) {
  for (std::size_t k = 0; k < hand.size(); ++k) {
    if (hand[k] < 1 || hand[k] > kTileKinds) return false;
    if (k > 0 && hand[k] < hand[k - 1]) return false;
  }
  return true;
}

std::optional<HandForm> FormOf(std::uint8_t value) {
  switch (value) {
    case 1: return HandForm::kThirteenOrphans;
    case 2: return HandForm::kSevenPairs;
    case 3: return HandForm::kStandard;
    default: return std::nullopt;
  }
}

void WriteHandAndForm(ByteWriter& out, std::uint32_t gameInBlock, HandForm form, const CompactHand& hand) {
  out.U32(gameInBlock);
  out.U8(static_cast<std::uint8_t>(form));
  out.Bytes(std::string_view(reinterpret_cast<const char*>(hand.data()), hand.size()));
}

std::optional<GameDistances> ReadDistances(ByteReader& in) {
  GameDistances distances;
  for (auto& slot : distances.dealer) slot = in.U32();
  for (auto& slot : distances.firstThirteen) slot = in.U32();
  if (!in.Ok()) return std::nullopt;
  return distances;
}

template <class Slots>
std::uint64_t SumOf(const Slots& slots) {
  std::uint64_t sum = 0;
  for (const auto slot : slots) sum += slot;
  return sum;
}

bool CountsGames(const GameDistances& distances, std::uint64_t games) {
  return SumOf(distances.dealer) == games && SumOf(distances.firstThirteen) == games;
}

// Through an earlier game no bin holds more than through a later one.
bool NoneAbove(const GameDistances& earlier, const GameDistances& later) {
  for (int i = 0; i < kDistanceSlots; ++i)
    if (earlier.dealer[i] > later.dealer[i] || earlier.firstThirteen[i] > later.firstThirteen[i]) return false;
  return true;
}

}  // namespace

void WriteDistances(ByteWriter& out, const GameDistances& distances) {
  for (const auto slot : distances.dealer) out.U32(slot);
  for (const auto slot : distances.firstThirteen) out.U32(slot);
}

void WriteDistanceTally(ByteWriter& out, const DistanceTally& tally) {
  for (const auto slot : tally.dealer) out.U64(static_cast<std::uint64_t>(slot));
  for (const auto slot : tally.firstThirteen) out.U64(static_cast<std::uint64_t>(slot));
}

std::optional<DistanceTally> ReadDistanceTally(ByteReader& in) {
  DistanceTally tally;
  // At most 2^62 games, so that sums of these never overflow.
  constexpr std::uint64_t kMostGames = std::uint64_t{1} << 62;
  bool fits = true;
  for (auto& slot : tally.dealer) {
    const std::uint64_t value = in.U64();
    fits = fits && value <= kMostGames;
    slot = static_cast<Count64>(value);
  }
  for (auto& slot : tally.firstThirteen) {
    const std::uint64_t value = in.U64();
    fits = fits && value <= kMostGames;
    slot = static_cast<Count64>(value);
  }
  if (!in.Ok() || !fits || SumOf(tally.dealer) != SumOf(tally.firstThirteen)) return std::nullopt;
  return tally;
}

void ByteWriter::U32(std::uint32_t value) {
  for (int i = 0; i < 4; ++i) U8(static_cast<std::uint8_t>(value >> (8 * i)));
}

void ByteWriter::U64(std::uint64_t value) {
  for (int i = 0; i < 8; ++i) U8(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::uint8_t ByteReader::U8() {
  if (!ok_ || at_ >= bytes_.size()) {
    ok_ = false;
    return 0;
  }
  return static_cast<std::uint8_t>(bytes_[at_++]);
}

std::uint32_t ByteReader::U32() {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) value |= static_cast<std::uint32_t>(U8()) << (8 * i);
  return ok_ ? value : 0;
}

std::uint64_t ByteReader::U64() {
  std::uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= static_cast<std::uint64_t>(U8()) << (8 * i);
  return ok_ ? value : 0;
}

std::string_view ByteReader::Bytes(std::size_t count) {
  if (!ok_ || Left() < count) {
    ok_ = false;
    return {};
  }
  const std::string_view part = bytes_.substr(at_, count);
  at_ += count;
  return part;
}

bool ByteReader::CountFits(std::uint64_t count, std::size_t size) {
  if (ok_ && count <= Left() / size) return true;
  ok_ = false;
  return false;
}

void WriteFind(ByteWriter& out, const TenhouFind& find) {
  out.U64(find.block);
  WriteHandAndForm(out, find.gameInBlock, find.form, find.hand);
}

std::optional<BlockFind> ReadBlockFind(ByteReader& in, std::uint32_t gamesInBlock) {
  BlockFind find;
  find.gameInBlock = in.U32();
  const auto form = FormOf(in.U8());
  const std::string_view hand = in.Bytes(kHandSize);
  if (!in.Ok() || !form || find.gameInBlock >= gamesInBlock) return std::nullopt;
  find.form = *form;
  std::copy(hand.begin(), hand.end(), find.hand.begin());
  if (!IsSortedHandOfCodes(find.hand)) return std::nullopt;
  return find;
}

void WriteBlockResult(ByteWriter& out, const BlockResult& result) {
  out.U64(result.block);
  out.U32(result.games);
  out.U32(static_cast<std::uint32_t>(result.finds.size()));
  WriteDistances(out, result.distances);
  for (const BlockFind& find : result.finds) {
    WriteHandAndForm(out, find.gameInBlock, find.form, find.hand);
    WriteDistances(out, find.through);
  }
}

std::optional<BlockResult> ReadBlockResult(ByteReader& in) {
  BlockResult result;
  result.block = in.U64();
  result.games = in.U32();
  const std::uint32_t finds = in.U32();
  const auto distances = ReadDistances(in);
  if (!in.Ok() || !distances || result.games > kBlockGames || finds > result.games ||
      !in.CountFits(finds, kBlockFindBytes) || !CountsGames(*distances, result.games))
    return std::nullopt;
  result.distances = *distances;
  result.finds.reserve(finds);
  for (std::uint32_t i = 0; i < finds; ++i) {
    auto find = ReadBlockFind(in, result.games);
    const auto through = ReadDistances(in);
    if (!find || !through || (!result.finds.empty() && find->gameInBlock <= result.finds.back().gameInBlock))
      return std::nullopt;
    find->through = *through;
    const GameDistances& before = result.finds.empty() ? GameDistances{} : result.finds.back().through;
    if (!CountsGames(find->through, find->gameInBlock + 1ull) || !NoneAbove(before, find->through) ||
        !NoneAbove(find->through, result.distances))
      return std::nullopt;
    result.finds.push_back(*find);
  }
  return result;
}

}  // namespace kestrum
