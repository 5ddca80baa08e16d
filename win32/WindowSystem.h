#pragma once
// The window-system calls the run makes through the view, by their Win32
// names. The program makes them on the real windows; the host adapter's
// tests record them, since some (FlashWindow under Wine, for one) leave
// nothing another program could see.

#include <windows.h>

#include <string>

namespace kestrum::win32 {

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  virtual void StartTimer(HWND window, UINT_PTR id, UINT periodMs) = 0;    // SetTimer
  virtual void StopTimer(HWND window, UINT_PTR id) = 0;                    // KillTimer
  virtual void SetTitle(HWND window, const std::wstring& title) = 0;       // SetWindowText
  virtual void UpdateNow(HWND window) = 0;                                 // UpdateWindow
  virtual void Flash(HWND window, bool invert) = 0;                        // FlashWindow
  virtual void Invalidate(HWND window) = 0;                                // InvalidateRect, erasing
  virtual void PlayWave(const void* image) = 0;                            // sndPlaySound from memory
};

// The calls on the real windows.
WindowSystem& RealWindowSystem();

}  // namespace kestrum::win32
