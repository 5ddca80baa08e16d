// The runs test: the chi-square law against table values, and the test
// against runs that do and do not come from independent games.

#include "batch/RunsFit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace kestrum {
namespace {

TEST(ChiSquareAbove, MatchesTheTablesFivePercentPoints) {
  EXPECT_NEAR(ChiSquareAbove(3.841459, 1), 0.05, 1e-6);
  EXPECT_NEAR(ChiSquareAbove(7.814728, 3), 0.05, 1e-6);
  EXPECT_NEAR(ChiSquareAbove(16.918978, 9), 0.05, 1e-6);
  EXPECT_NEAR(ChiSquareAbove(21.665994, 9), 0.01, 1e-6);
  EXPECT_EQ(ChiSquareAbove(0.0, 4), 1.0);
  EXPECT_LT(ChiSquareAbove(200.0, 9), 1e-30);
}

std::vector<std::int64_t> GeometricRuns(std::size_t count, double p, unsigned seed) {
  std::mt19937_64 engine(seed);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  std::vector<std::int64_t> runs;
  for (std::size_t i = 0; i < count; ++i)
    runs.push_back(static_cast<std::int64_t>(std::ceil(std::log1p(-uniform(engine)) / std::log1p(-p))));
  return runs;
}

TEST(RunsFit, RunsOfIndependentGamesFitAndOthersDoNot) {
  const double p = 1.0 / 330529.5;
  for (const unsigned seed : {1u, 2u, 3u}) {
    const auto fit = FitRunsToGeometric(GeometricRuns(400, p, seed), p);
    ASSERT_TRUE(fit.has_value());
    EXPECT_EQ(fit->bins, 10);
    EXPECT_EQ(fit->degreesOfFreedom, 9);
    EXPECT_GT(fit->pValue, 0.001) << "seed " << seed;
  }
  // Runs of a law twice as fast, and runs that are all alike.
  EXPECT_LT(FitRunsToGeometric(GeometricRuns(400, 2 * p, 4), p)->pValue, 1e-6);
  EXPECT_LT(FitRunsToGeometric(std::vector<std::int64_t>(400, 330530), p)->pValue, 1e-6);
}

TEST(RunsFit, NeedsTwentyRunsAndFewerBinsForFewerRuns) {
  const double p = 0.01;
  EXPECT_FALSE(FitRunsToGeometric(GeometricRuns(19, p, 5), p).has_value());
  const auto twenty = FitRunsToGeometric(GeometricRuns(20, p, 5), p);
  ASSERT_TRUE(twenty.has_value());
  EXPECT_EQ(twenty->bins, 4);
  EXPECT_FALSE(FitRunsToGeometric(GeometricRuns(50, p, 5), 0.0).has_value());
  // A law so short that bins would be empty keeps only those it can fill.
  const auto shortLaw = FitRunsToGeometric(GeometricRuns(200, 0.9, 6), 0.9);
  ASSERT_TRUE(shortLaw.has_value());
  EXPECT_LT(shortLaw->bins, 10);
  EXPECT_GT(shortLaw->pValue, 0.001);
}

// Made-up runs of three kinds, each judged by the three tests apart: runs of
// a wrong rate fail only the test that holds the exact rate; runs that mix
// two rates fail the shape; runs whose neighbours follow each other fail
// only the serial test.
TEST(RunsFit, AWrongRateIsToldApartFromDependentGames) {
  const double p = 1.0 / 330529.5;
  const std::vector<std::int64_t> wrongRate = GeometricRuns(400, 1.5 * p, 7);
  EXPECT_LT(FitRunsToGeometric(wrongRate, p)->pValue, 1e-3);
  const auto shapeOfWrong = FitRunsToGeometricShape(wrongRate);
  ASSERT_TRUE(shapeOfWrong.has_value());
  EXPECT_GT(shapeOfWrong->pValue, 0.01);
  EXPECT_EQ(shapeOfWrong->degreesOfFreedom, shapeOfWrong->bins - 2);
  EXPECT_TRUE(shapeOfWrong->rateEstimated);
  EXPECT_NEAR(shapeOfWrong->rate / (1.5 * p), 1.0, 0.15);
  EXPECT_GT(SerialTestOfRuns(wrongRate)->pValue, 0.01);

  // Half the runs from a law ten times as fast: the right mean rate, the wrong shape.
  std::vector<std::int64_t> mixed = GeometricRuns(200, 0.18 * p, 8);
  for (const std::int64_t run : GeometricRuns(200, 1.8 * p, 9)) mixed.push_back(run);
  std::shuffle(mixed.begin(), mixed.end(), std::mt19937(10));
  EXPECT_LT(FitRunsToGeometricShape(mixed)->pValue, 1e-3);

  // Each second run repeats the one before it, give or take a little: the
  // law is right run by run, but neighbours are not independent.
  std::vector<std::int64_t> echoed;
  for (const std::int64_t run : GeometricRuns(200, p, 11)) {
    echoed.push_back(run);
    echoed.push_back(run + run / 20);
  }
  EXPECT_GT(FitRunsToGeometricShape(echoed)->pValue, 0.01);
  const auto serial = SerialTestOfRuns(echoed);
  ASSERT_TRUE(serial.has_value());
  EXPECT_LT(serial->pValue, 1e-6);
  EXPECT_EQ(serial->pairs, 200u);
  EXPECT_EQ(serial->classes, 4);
  EXPECT_EQ(serial->degreesOfFreedom, 9);
  EXPECT_GT(SerialTestOfRuns(GeometricRuns(400, p, 12))->pValue, 0.01);
  EXPECT_FALSE(SerialTestOfRuns(GeometricRuns(39, p, 13)).has_value());
}

TEST(RunsFit, BinsOfTheTableCoverEveryRunLengthOnce) {
  const auto fit = FitRunsToGeometricShape(GeometricRuns(120, 0.01, 14));
  ASSERT_TRUE(fit.has_value());
  ASSERT_EQ(fit->table.size(), static_cast<std::size_t>(fit->bins));
  EXPECT_EQ(fit->table.front().first, 1);
  EXPECT_EQ(fit->table.back().last, 0);
  double observed = 0.0;
  double expected = 0.0;
  for (std::size_t i = 0; i < fit->table.size(); ++i) {
    if (i > 0) {
      EXPECT_EQ(fit->table[i].first, fit->table[i - 1].last + 1);
    }
    observed += fit->table[i].observed;
    expected += fit->table[i].expected;
  }
  EXPECT_EQ(observed, 120.0);
  EXPECT_NEAR(expected, 120.0, 1e-9);
}

}  // namespace
}  // namespace kestrum
