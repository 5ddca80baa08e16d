#include "store/TextForms.h"

#include <charconv>

namespace kestrum {

namespace {

constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The leading decimal number of text, modulo 2^64: the low bits are all that
// a wrapping conversion keeps, whatever the width it is narrowed to later.
std::uint64_t LeadingNumberBits(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<std::uint64_t>(text[i] - '0');
  }
  return negative ? 0u - value : value;
}

template <typename Int>
std::string DecimalText(Int value) {
  char buffer[32];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, end);
}

}  // namespace

Count64 ParseCount64(std::string_view text) { return static_cast<Count64>(LeadingNumberBits(text)); }

std::int32_t ParseNumber32(std::string_view text) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(LeadingNumberBits(text)));
}

bool ParseFlag(std::string_view text) { return ParseNumber32(text) == 1; }

std::string CountText(Count64 value) { return DecimalText(value); }

std::string NumberText(std::int32_t value) { return DecimalText(value); }

std::string FlagText(bool on) { return on ? "1" : "0"; }

}  // namespace kestrum
