#include "engine/StatusText.h"

#include <charconv>

namespace kestrum {
namespace {

constexpr std::size_t kNameSize = 2;
constexpr std::size_t kHandStart = 2;
constexpr std::size_t kRunMarkAt = kHandStart + kHandSize * kNameSize;

std::optional<TileCode> CodeOfName(std::string_view name) {
  const TileNameTable& names = TileNames();
  for (TileCode code = 0; code <= kTileKinds; ++code)
    if (names[code] == name) return code;
  return std::nullopt;
}

// Digits only, as the writer puts them: no sign, no blank, no leading zero,
// and within a count's range.
std::optional<Count64> ParseRunLength(std::string_view digits) {
  if (digits.empty() || digits.size() > 19 || (digits.size() > 1 && digits.front() == '0')) return std::nullopt;
  Count64 value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.front() == '-') return std::nullopt;
  return value;
}

}  // namespace

std::string StatusText(bool tenhou, const Hand& hand, const TileNameTable& names, Count64 sinceCnt) {
  std::string text;
  WriteStatusText(text, tenhou, hand, names, sinceCnt);
  return text;
}

void WriteStatusText(std::string& text, bool tenhou, const Hand& hand, const TileNameTable& names, Count64 sinceCnt) {
  text.clear();
  text.reserve(kRunMarkAt + 1 + 20);
  text += tenhou ? '1' : '0';
  text += '*';
  for (TileCode code : hand) text += names[code];
  text += '+';
  char digits[24];
  const auto written = std::to_chars(digits, digits + sizeof digits, sinceCnt);
  text.append(digits, written.ptr);
}

std::optional<StatusReading> ParseStatusText(std::string_view text) {
  if (text.size() <= kRunMarkAt + 1 || (text[0] != '0' && text[0] != '1') || text[1] != '*' ||
      text[kRunMarkAt] != '+')
    return std::nullopt;
  StatusReading reading;
  reading.tenhou = text[0] == '1';
  for (std::size_t i = 0; i < static_cast<std::size_t>(kHandSize); ++i) {
    const auto code = CodeOfName(text.substr(kHandStart + i * kNameSize, kNameSize));
    if (!code) return std::nullopt;
    reading.hand[i] = *code;
  }
  const auto run = ParseRunLength(text.substr(kRunMarkAt + 1));
  if (!run) return std::nullopt;
  reading.sinceCnt = *run;
  return reading;
}

}  // namespace kestrum
