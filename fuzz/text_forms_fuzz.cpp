// Arbitrary stored texts: the three readers agree with one another, with the
// C library where it does not saturate, and with the writers.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/FuzzCheck.h"
#include "store/TextForms.h"

namespace {

using namespace kestrum;
using fuzz::Require;

// Digits of the leading number, when it is a plain one of at most 18 digits.
bool FitsTheCLibrary(const std::string& text) {
  std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
  if (i == std::string::npos) return true;
  if (text[i] == '+' || text[i] == '-') ++i;
  std::size_t digits = 0;
  while (i + digits < text.size() && text[i + digits] >= '0' && text[i + digits] <= '9') ++digits;
  return digits <= 18;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Count64 count = ParseCount64(text);
  const std::int32_t number = ParseNumber32(text);
  Require(number == static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(count))),
          "a number is the low 32 bits of the count");
  Require(ParseFlag(text) == (number == 1), "a flag is on only for 1");
  Require(ParseCount64(CountText(count)) == count, "count written and read back");
  Require(ParseNumber32(NumberText(number)) == number, "number written and read back");

  const std::string terminated(text.substr(0, text.find('\0')));
  if (terminated.size() == text.size() && FitsTheCLibrary(terminated)) {
    Require(std::strtoll(terminated.c_str(), nullptr, 10) == count, "agrees with strtoll below its range");
  }
  return 0;
}
