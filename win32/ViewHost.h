#pragma once
// The run's window system on Win32: timers 1-3 on the view's window, the
// title and the flash on the main frame, repaints of the view, and the
// chime from the program's WAVE resource.

#include <windows.h>

#include "engine/RunPorts.h"

namespace kestrum::win32 {

class WindowSystem;

class ViewHost final : public RunHost {
 public:
  // The fastest game period the settings offer. A stored period below it
  // (0 or negative from a hand-edited store) runs at the fastest offered
  // speed instead, as in the Linux program.
  static constexpr int kShortestTimerPeriodMs = 10;

  // wave is the WAVE image to play, or null for silence.
  ViewHost(WindowSystem& windows, HWND view, HWND frame, const void* wave);

  void SetTimer(TimerId id, int periodMs) override;
  void KillTimer(TimerId id) override;
  void SetMainTitle(std::string_view title) override;
  void FlashMainWindow(bool invert) override;
  void InvalidateView() override;
  void PlayTenhouWave() override;
  std::time_t Now() override;

 private:
  WindowSystem& windows_;
  HWND view_;
  HWND frame_;
  const void* wave_;
};

// The program's WAVE resource 134, or null when it cannot be found or loaded.
const void* LoadTenhouWave(HINSTANCE instance);

}  // namespace kestrum::win32
