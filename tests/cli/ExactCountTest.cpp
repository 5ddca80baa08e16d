// The exact count against a second, independent way of counting: one pass
// over the 34 kinds that carries the set of every partial decomposition
// still open (runs waiting for tiles, pair taken or not), so that each count
// vector is weighed once however many decompositions it has.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <map>
#include <tuple>

#include "ProcessRun.h"
#include "batch/ExactCount.h"

namespace kestrum {
namespace {

constexpr Uint128 kWays[5] = {1, 4, 6, 4, 1};

// A partial decomposition before a kind: waitingTwo runs need this kind and
// the next, waitingOne runs need only this kind, pair says whether the pair
// is taken. Packed into one bit of a 64-bit set.
int StateBit(int waitingTwo, int waitingOne, int pair) { return (waitingTwo * 5 + waitingOne) * 2 + pair; }

std::uint64_t Step(std::uint64_t states, int count, bool runMayStart) {
  std::uint64_t next = 0;
  for (int two = 0; two <= 4; ++two)
    for (int one = 0; one <= 4; ++one)
      for (int pair = 0; pair < 2; ++pair) {
        if (!(states >> StateBit(two, one, pair) & 1)) continue;
        const int left = count - two - one;
        if (left < 0) continue;
        for (int starts = 0; starts <= (runMayStart ? left : 0); ++starts) {
          const int rest = left - starts;
          if (rest == 0 || rest == 3) next |= std::uint64_t{1} << StateBit(starts, two, pair);
          if (rest == 2 && pair == 0) next |= std::uint64_t{1} << StateBit(starts, two, 1);
        }
      }
  return next;
}

struct Independent {
  Uint128 standard = 0;         // every standard hand
  Uint128 standardPairs = 0;    // standard hands that are also seven pairs
  Uint128 sevenPairs = 0;
  Uint128 thirteenOrphans = 0;
};

Independent CountIndependently() {
  // key: open decompositions, tiles so far, all counts 0 or 2 so far
  std::map<std::tuple<std::uint64_t, int, bool>, Uint128> ways{{{std::uint64_t{1} << StateBit(0, 0, 0), 0, true}, 1}};
  for (int kind = 1; kind <= 34; ++kind) {
    const bool runMayStart = kind <= 27 && (kind - 1) % 9 <= 6;
    std::map<std::tuple<std::uint64_t, int, bool>, Uint128> next;
    for (const auto& [key, weight] : ways) {
      const auto& [states, tiles, pairsOnly] = key;
      for (int c = 0; c <= 4 && tiles + c <= 14; ++c)
        next[{Step(states, c, runMayStart), tiles + c, pairsOnly && (c == 0 || c == 2)}] += weight * kWays[c];
    }
    ways = std::move(next);
  }
  Independent result;
  const std::uint64_t complete = std::uint64_t{1} << StateBit(0, 0, 1);
  for (const auto& [key, weight] : ways) {
    const auto& [states, tiles, pairsOnly] = key;
    if (tiles != 14) continue;
    if (pairsOnly) result.sevenPairs += weight;
    if (states & complete) {
      result.standard += weight;
      if (pairsOnly) result.standardPairs += weight;
    }
  }
  // Thirteen orphans: every orphan kind once or twice, fourteen tiles.
  for (int doubled = 0; doubled < (1 << 13); ++doubled) {
    if (__builtin_popcount(static_cast<unsigned>(doubled)) != 1) continue;
    Uint128 weight = 1;
    for (int k = 0; k < 13; ++k) weight *= kWays[(doubled >> k & 1) ? 2 : 1];
    result.thirteenOrphans += weight;
  }
  return result;
}

Uint128 ChooseByPascal(int n, int k) {
  std::vector<std::vector<Uint128>> row(static_cast<std::size_t>(n + 1), std::vector<Uint128>(static_cast<std::size_t>(k + 1), 0));
  for (int i = 0; i <= n; ++i) {
    row[i][0] = 1;
    for (int j = 1; j <= std::min(i, k); ++j) row[i][j] = row[i - 1][j - 1] + (j <= i - 1 ? row[i - 1][j] : 0);
  }
  return row[n][k];
}

TEST(ExactCount, AgreesWithAnIndependentCountFormByForm) {
  const ExactCounts counts = CountCompleteDeals();
  const Independent independent = CountIndependently();
  EXPECT_EQ(DecimalText(counts.thirteenOrphans), DecimalText(independent.thirteenOrphans));
  EXPECT_EQ(DecimalText(counts.sevenPairs), DecimalText(independent.sevenPairs));
  // Seven pairs is tried before the standard form.
  EXPECT_EQ(DecimalText(counts.standard), DecimalText(independent.standard - independent.standardPairs));
  EXPECT_EQ(DecimalText(counts.deals), DecimalText(ChooseByPascal(136, 14)));
  EXPECT_GT(independent.standardPairs, 0u);
}

TEST(ExactCount, CommandPrintsTheReducedFractionAndTheSplit) {
  const Independent independent = CountIndependently();
  const Uint128 deals = ChooseByPascal(136, 14);
  const Uint128 complete =
      independent.thirteenOrphans + independent.sevenPairs + independent.standard - independent.standardPairs;
  const Uint128 divisor = Gcd(complete, deals);

  const auto result = test::RunSim({"exact", "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
  const QJsonObject all = json.value(QStringLiteral("all")).toObject();
  EXPECT_EQ(all.value(QStringLiteral("numerator")).toString().toStdString(), DecimalText(complete / divisor));
  EXPECT_EQ(all.value(QStringLiteral("denominator")).toString().toStdString(), DecimalText(deals / divisor));
  EXPECT_EQ(json.value(QStringLiteral("sevenPairs")).toObject().value(QStringLiteral("deals")).toString().toStdString(),
            DecimalText(independent.sevenPairs));
  EXPECT_NEAR(all.value(QStringLiteral("oneIn")).toDouble(), static_cast<double>(deals) / static_cast<double>(complete), 1e-3);

  const auto text = test::RunSim({"exact"});
  ASSERT_EQ(text.exitCode, 0);
  EXPECT_NE(text.out.find(DecimalText(complete / divisor) + "/" + DecimalText(deals / divisor)), std::string::npos);
  EXPECT_NE(text.out.find("1 in 330529.5"), std::string::npos) << text.out;
}

TEST(ExactCount, CommandPrintsBothDistanceDistributionsWithTheCompleteCountFirst) {
  const auto result = test::RunSim({"exact", "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).object();
  const QJsonObject distance = json.value(QStringLiteral("distance")).toObject();
  const QJsonObject dealer = distance.value(QStringLiteral("dealer")).toObject();
  EXPECT_EQ(dealer.value(QStringLiteral("tiles")).toInt(), 14);
  const QJsonArray least =
      dealer.value(QStringLiteral("forms")).toObject().value(QStringLiteral("least")).toObject().value(QStringLiteral("byDistance")).toArray();
  ASSERT_EQ(least.size(), 8);  // -1 .. 6
  EXPECT_EQ(least.first().toObject().value(QStringLiteral("deals")).toString(),
            json.value(QStringLiteral("all")).toObject().value(QStringLiteral("deals")).toString());
  const QJsonObject nonDealer = distance.value(QStringLiteral("nonDealer")).toObject();
  EXPECT_EQ(nonDealer.value(QStringLiteral("deals")).toString(), QStringLiteral("483774556165488000"));
  const QJsonObject orphans =
      nonDealer.value(QStringLiteral("forms")).toObject().value(QStringLiteral("thirteenOrphans")).toObject();
  EXPECT_EQ(orphans.value(QStringLiteral("byDistance")).toArray().first().toObject().value(QStringLiteral("distance")).toInt(), 0);
  EXPECT_NEAR(orphans.value(QStringLiteral("mean")).toDouble(), 8.176059527, 1e-9);

  const auto text = test::RunSim({"exact"});
  EXPECT_NE(text.out.find("The dealer's fourteen tiles by distance, of 4250305029168216000 deals:"), std::string::npos);
  EXPECT_NE(text.out.find("the least over the three forms, mean 3.155937813"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("A non-dealer's thirteen tiles by distance"), std::string::npos);
}

}  // namespace
}  // namespace kestrum
