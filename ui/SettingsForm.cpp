#include "ui/SettingsForm.h"

#include <algorithm>
#include <array>

namespace kestrum::ui {

namespace {

constexpr std::array<std::int32_t, 6> kIntervalAt = {0, 1, 10, 100, 1000, 10000};

}  // namespace

std::int32_t IntervalAtPosition(int position) {
  return kIntervalAt[static_cast<std::size_t>(std::clamp(position, kIntervalSlider.minimum, kIntervalSlider.maximum))];
}

int IntervalPositionOf(std::int32_t interval) {
  int digits = 0;
  for (std::int64_t rest = interval; rest > 0; rest /= 10) ++digits;
  return std::min(digits, kIntervalSlider.maximum);
}

SettingsForm::SettingsForm(const Settings& initial) : initial_(initial), intervalValue_(initial.interval) {}

int SettingsForm::SpeedPosition() const {
  return std::clamp(static_cast<int>(initial_.speed), kSpeedSlider.minimum, kSpeedSlider.maximum);
}

std::string SettingsForm::IntervalLabel() const { return std::to_string(intervalValue_); }

SettingsForm::Boxes SettingsForm::InitialBoxes() const {
  return {initial_.continueRun, initial_.logFile, initial_.sound, initial_.autoStart, initial_.accumulation};
}

void SettingsForm::IntervalMoved(int position) { intervalValue_ = IntervalAtPosition(position); }

Settings SettingsForm::Accepted(int speedPosition, const Boxes& ticked) const {
  Settings result = initial_;
  result.speed = std::clamp(speedPosition, kSpeedSlider.minimum, kSpeedSlider.maximum);
  result.continueRun = ticked.continueRun;
  result.logFile = ticked.logFile;
  result.sound = ticked.sound;
  result.autoStart = ticked.autoStart;
  result.accumulation = ticked.accumulation;
  result.interval = intervalValue_;
  return result;
}

}  // namespace kestrum::ui
