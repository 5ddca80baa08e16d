#pragma once
// What the settings dialog decides, whatever draws it: the sliders' ranges
// and steps, the values their positions stand for, the interval's read-out,
// and the settings that OK hands back. Cancel hands back nothing, so the
// caller applies Accepted() only when the dialog ended with OK.

#include <cstdint>
#include <string>

#include "engine/SimulationState.h"

namespace kestrum::ui {

struct SliderRange {
  int minimum;
  int maximum;
  int tickFrequency;
  int pageStep;  // Page Up / Page Down and clicks in the channel
  int lineStep;  // the arrow keys
};

// The game period in ms: 10 at the left end ("fast"), 1000 at the right.
// The arrow keys move four times as far as a page step, as they always have.
inline constexpr SliderRange kSpeedSlider{10, 1000, 20, 10, 40};
// Positions 0..5 stand for 0 (redraw only after a heavenly hand), 1, 10,
// 100, 1000 and 10000 games.
inline constexpr SliderRange kIntervalSlider{0, 5, 1, 1, 1};

// The games per redraw of an interval slider position (clamped to the range).
std::int32_t IntervalAtPosition(int position);
// The position that shows a stored interval: its number of decimal digits,
// so that every power of ten finds its own place; 0 and negative values sit
// at the left end, values above 10000 at the right, and keep their value
// until the slider is moved.
int IntervalPositionOf(std::int32_t interval);

// The state of one opening of the dialog.
class SettingsForm {
 public:
  struct Boxes {
    bool continueRun;
    bool logFile;
    bool sound;
    bool autoStart;
    bool accumulation;
  };

  explicit SettingsForm(const Settings& initial);

  // Where the speed slider starts: a stored period outside the range shows
  // at the nearer end, and OK then writes that end back.
  int SpeedPosition() const;
  int IntervalPosition() const { return IntervalPositionOf(intervalValue_); }
  std::int32_t IntervalValue() const { return intervalValue_; }
  // The interval's read-out beside its slider, "%d" of the value.
  std::string IntervalLabel() const;
  Boxes InitialBoxes() const;

  // The interval slider moved; the read-out follows at once. Speed moves
  // are read only at OK.
  void IntervalMoved(int position);

  // The settings OK hands back: the speed slider's position, the ticked
  // boxes and the interval as the slider last set it (the stored one when
  // it was not moved).
  Settings Accepted(int speedPosition, const Boxes& ticked) const;

 private:
  Settings initial_;
  std::int32_t intervalValue_;
};

}  // namespace kestrum::ui
