#include "ui/SettingsForm.h"

#include <gtest/gtest.h>

#include <limits>

namespace kestrum::ui {
namespace {

constexpr SettingsForm::Boxes kAllTicked{true, true, true, true, true};

TEST(SettingsForm, IntervalPositionsStandForPowersOfTen) {
  const std::int32_t expected[] = {0, 1, 10, 100, 1000, 10000};
  for (int position = 0; position <= 5; ++position) {
    EXPECT_EQ(IntervalAtPosition(position), expected[position]);
    EXPECT_EQ(IntervalPositionOf(expected[position]), position);
  }
  EXPECT_EQ(IntervalAtPosition(-1), 0);
  EXPECT_EQ(IntervalAtPosition(9), 10000);
}

TEST(SettingsForm, StoredIntervalsTheDialogNeverWritesKeepTheirValueUntilMoved) {
  for (std::int32_t odd : {-7, 42, 100000, std::numeric_limits<std::int32_t>::max()}) {
    SettingsForm form(Settings{.interval = odd});
    EXPECT_GE(form.IntervalPosition(), 0);
    EXPECT_LE(form.IntervalPosition(), 5);
    EXPECT_EQ(form.IntervalLabel(), std::to_string(odd));
    EXPECT_EQ(form.Accepted(500, kAllTicked).interval, odd);
    form.IntervalMoved(3);
    EXPECT_EQ(form.IntervalLabel(), "100");
    EXPECT_EQ(form.Accepted(500, kAllTicked).interval, 100);
  }
  EXPECT_EQ(SettingsForm(Settings{.interval = 42}).IntervalPosition(), 2);
  EXPECT_EQ(SettingsForm(Settings{.interval = 100000}).IntervalPosition(), 5);
}

TEST(SettingsForm, SpeedOutsideTheRangeShowsAtTheNearerEndAndIsWrittenBackThere) {
  EXPECT_EQ(SettingsForm(Settings{.speed = 0}).SpeedPosition(), 10);
  EXPECT_EQ(SettingsForm(Settings{.speed = -3}).SpeedPosition(), 10);
  EXPECT_EQ(SettingsForm(Settings{.speed = 5000}).SpeedPosition(), 1000);
  EXPECT_EQ(SettingsForm(Settings{.speed = 250}).SpeedPosition(), 250);
  const SettingsForm form(Settings{});
  EXPECT_EQ(form.Accepted(10, kAllTicked).speed, 10);
  EXPECT_EQ(form.Accepted(1000, kAllTicked).speed, 1000);
}

TEST(SettingsForm, OkHandsBackEveryBoxAsTickedAndTheSpeedAsPlaced) {
  const Settings initial{.speed = 500, .interval = 10, .continueRun = false, .logFile = true, .sound = true,
                         .autoStart = false, .accumulation = true};
  const SettingsForm form(initial);
  const SettingsForm::Boxes boxes = form.InitialBoxes();
  EXPECT_FALSE(boxes.continueRun);
  EXPECT_TRUE(boxes.logFile);
  EXPECT_TRUE(boxes.sound);
  EXPECT_FALSE(boxes.autoStart);
  EXPECT_TRUE(boxes.accumulation);
  const Settings flipped = form.Accepted(130, {true, false, false, true, false});
  EXPECT_EQ(flipped.speed, 130);
  EXPECT_EQ(flipped.interval, 10);
  EXPECT_TRUE(flipped.continueRun);
  EXPECT_FALSE(flipped.logFile);
  EXPECT_FALSE(flipped.sound);
  EXPECT_TRUE(flipped.autoStart);
  EXPECT_FALSE(flipped.accumulation);
}

}  // namespace
}  // namespace kestrum::ui
