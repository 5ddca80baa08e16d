// The progress bar's line: heavenly hands counted against the limit, and a
// time left for each kind of limit, an expectation only where it is one.

#include "cli/ProgressBar.h"

#include <gtest/gtest.h>

#include "batch/BatchRunner.h"

namespace kestrum {
namespace {

constexpr double kRate = 1.0 / 330529.5;

BatchLimits Limits(Count64 games, Count64 tenhou, double seconds) {
  BatchLimits limits;
  limits.games = games;
  limits.tenhou = tenhou;
  limits.seconds = seconds;
  return limits;
}

TEST(ProgressBar, EachLimitGivesItsOwnTimeLeft) {
  // 100000 games in 10 s: 10000 a second.
  const BatchProgress halfway{100000, 1, 10.0};
  EXPECT_NE(ProgressBar(Limits(200000, 0, 0), kRate).Line(halfway).find("[############............] "),
            std::string::npos);
  EXPECT_NE(ProgressBar(Limits(200000, 0, 0), kRate).Line(halfway).find("left 0:10"), std::string::npos);
  EXPECT_NE(ProgressBar(Limits(0, 0, 25.0), kRate).Line(halfway).find("left 0:15"), std::string::npos);
  // Two more heavenly hands take 661059 games on average: 66 s at this pace,
  // an expectation, and the bar says so.
  const std::string tenhou = ProgressBar(Limits(0, 3, 0), kRate).Line(halfway);
  EXPECT_NE(tenhou.find("heavenly hands 1/3"), std::string::npos) << tenhou;
  EXPECT_NE(tenhou.find("left about 1:06"), std::string::npos) << tenhou;
  // The nearest limit decides.
  EXPECT_NE(ProgressBar(Limits(0, 3, 20.0), kRate).Line(halfway).find("left 0:10"), std::string::npos);
  EXPECT_NE(ProgressBar(Limits(0, 0, 0), kRate).Line(halfway).find("until Ctrl-C"), std::string::npos);
}

TEST(ProgressBar, FullAtTheLimitAndNeverPastIt) {
  const std::string done = ProgressBar(Limits(0, 2, 0), kRate).Line({5000, 2, 1.0});
  EXPECT_NE(done.find("[########################]"), std::string::npos) << done;
  EXPECT_NE(done.find("left about 0:00"), std::string::npos) << done;
  const std::string over = ProgressBar(Limits(1000, 0, 0), kRate).Line({1500, 0, 1.0});
  EXPECT_NE(over.find("[########################]"), std::string::npos) << over;
  EXPECT_NE(ProgressBar(Limits(1000, 0, 0), kRate).Line({0, 0, 0.0}).find("left --:--"), std::string::npos);
}

}  // namespace
}  // namespace kestrum
