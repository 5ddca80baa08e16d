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

}  // namespace

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
  for (const BlockFind& find : result.finds) WriteHandAndForm(out, find.gameInBlock, find.form, find.hand);
}

std::optional<BlockResult> ReadBlockResult(ByteReader& in) {
  BlockResult result;
  result.block = in.U64();
  result.games = in.U32();
  const std::uint32_t finds = in.U32();
  if (!in.Ok() || result.games > kBlockGames || finds > result.games || !in.CountFits(finds, kFindBytes))
    return std::nullopt;
  result.finds.reserve(finds);
  for (std::uint32_t i = 0; i < finds; ++i) {
    const auto find = ReadBlockFind(in, result.games);
    if (!find || (!result.finds.empty() && find->gameInBlock <= result.finds.back().gameInBlock)) return std::nullopt;
    result.finds.push_back(*find);
  }
  return result;
}

}  // namespace kestrum
