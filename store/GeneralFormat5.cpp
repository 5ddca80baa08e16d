#include "store/GeneralFormat5.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kestrum {

namespace {

constexpr int kSignificant = 5;
constexpr int kExpansionDigits = 17;

// v > 0 as its 17 significant decimal digits and the exponent of the first.
struct DecimalExpansion {
  std::string digits;
  int exponent = 0;
};

DecimalExpansion ExpandTo17Digits(double v) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, "%.*e", kExpansionDigits - 1, v);
  DecimalExpansion expansion;
  const char* p = buffer;
  for (; *p != 'e'; ++p) {
    if (*p != '.') expansion.digits += *p;
  }
  expansion.exponent = std::atoi(p + 1);
  return expansion;
}

// The first five digits rounded half up on the 17-digit expansion; a carry
// out of the first digit gives "100000", one digit more.
std::string RoundedDigits(const std::string& digits) {
  std::string kept = digits.substr(0, kSignificant);
  if (digits[kSignificant] < '5') return kept;
  for (int i = kSignificant - 1; i >= 0; --i) {
    if (kept[i] != '9') {
      ++kept[i];
      return kept;
    }
    kept[i] = '0';
  }
  return "1" + kept;
}

void DropTrailingZeros(std::string& fraction) {
  while (!fraction.empty() && fraction.back() == '0') fraction.pop_back();
}

std::string ScientificForm(std::string digits, int exponent) {
  if (digits.size() > kSignificant) {
    digits.resize(kSignificant);
    ++exponent;
  }
  std::string fraction = digits.substr(1);
  DropTrailingZeros(fraction);
  char exponentText[16];
  std::snprintf(exponentText, sizeof exponentText, "e%c%03d", exponent < 0 ? '-' : '+', std::abs(exponent));
  return digits.substr(0, 1) + "." + fraction + exponentText;
}

// digits stand for digits x 10^-(4 - exponent): the number of places after
// the point follows the exponent before rounding, so a carry only lengthens
// the part in front of the point.
std::string FixedForm(const std::string& digits, int exponent) {
  const int places = kSignificant - 1 - exponent;
  const int wholeDigits = static_cast<int>(digits.size()) - places;
  std::string whole;
  std::string fraction;
  if (wholeDigits <= 0) {
    whole = "0";
    fraction = std::string(static_cast<std::size_t>(-wholeDigits), '0') + digits;
  } else {
    whole = digits.substr(0, static_cast<std::size_t>(wholeDigits));
    fraction = digits.substr(static_cast<std::size_t>(wholeDigits));
  }
  DropTrailingZeros(fraction);
  return whole + "." + fraction;
}

}  // namespace

std::string GeneralFormat5(double v) {
  if (std::isnan(v)) return "nan";
  const std::string sign = v < 0 ? "-" : "";
  v = std::fabs(v);
  if (std::isinf(v)) return sign + "inf";

  DecimalExpansion expansion;
  if (v == 0) {
    expansion = {std::string(kExpansionDigits, '0'), -1};
  } else {
    expansion = ExpandTo17Digits(v);
  }
  const std::string digits = RoundedDigits(expansion.digits);
  const int e = expansion.exponent;
  if (e <= -2 || e >= kSignificant) return sign + ScientificForm(digits, e);
  return sign + FixedForm(digits, e);
}

}  // namespace kestrum
