// The runs test: the chi-square law against table values, and the test
// against runs that do and do not come from independent games.

#include "batch/RunsFit.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrum
