#pragma once
// The exact number of dealer's openings that are complete hands: of all
// C(136, 14) ways to take fourteen of the 136 tiles, how many form thirteen
// orphans, seven pairs or four sets and a pair. Counted by enumeration over
// the tile counts, not by simulation. Each form counts the hands that the
// complete-hand test names with it: a hand that is both seven pairs and a
// standard hand counts as seven pairs, since that test comes first.

#include <string>

namespace kestrum {

__extension__ typedef unsigned __int128 Uint128;

struct ExactCounts {
  Uint128 thirteenOrphans = 0;
  Uint128 sevenPairs = 0;
  Uint128 standard = 0;
  Uint128 deals = 0;  // C(136, 14)

  Uint128 Complete() const { return thirteenOrphans + sevenPairs + standard; }
};

ExactCounts CountCompleteDeals();

Uint128 Gcd(Uint128 a, Uint128 b);
std::string DecimalText(Uint128 value);
// numerator / denominator written out to the given number of decimal places,
// truncated: "0.000003030...".
std::string FractionDecimalText(Uint128 numerator, Uint128 denominator, int places);
double Ratio(Uint128 numerator, Uint128 denominator);

}  // namespace kestrum
