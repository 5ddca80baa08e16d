#include "win32/ViewHost.h"

#include <mmsystem.h>

#include <algorithm>
#include <ctime>

#include "win32/WideText.h"
#include "win32/WindowSystem.h"
#include "win32/resource.h"

namespace kestrum::win32 {

namespace {

class Win32Calls final : public WindowSystem {
 public:
  void StartTimer(HWND window, UINT_PTR id, UINT periodMs) override { ::SetTimer(window, id, periodMs, nullptr); }
  void StopTimer(HWND window, UINT_PTR id) override { ::KillTimer(window, id); }
  void SetTitle(HWND window, const std::wstring& title) override { ::SetWindowTextW(window, title.c_str()); }
  void UpdateNow(HWND window) override { ::UpdateWindow(window); }
  void Flash(HWND window, bool invert) override { ::FlashWindow(window, invert ? TRUE : FALSE); }
  void Invalidate(HWND window) override { ::InvalidateRect(window, nullptr, TRUE); }
  // The call returns at once; without an audio device it fails quietly.
  void PlayWave(const void* image) override {
    ::sndPlaySoundA(static_cast<LPCSTR>(image), SND_ASYNC | SND_MEMORY);
  }
};

}  // namespace

WindowSystem& RealWindowSystem() {
  static Win32Calls calls;
  return calls;
}

ViewHost::ViewHost(WindowSystem& windows, HWND view, HWND frame, const void* wave)
    : windows_(windows), view_(view), frame_(frame), wave_(wave) {}

void ViewHost::SetTimer(TimerId id, int periodMs) {
  windows_.StartTimer(view_, static_cast<UINT_PTR>(id), static_cast<UINT>(std::max(periodMs, kShortestTimerPeriodMs)));
}

void ViewHost::KillTimer(TimerId id) { windows_.StopTimer(view_, static_cast<UINT_PTR>(id)); }

void ViewHost::SetMainTitle(std::string_view title) {
  windows_.SetTitle(frame_, WideFromUtf8(title));
  windows_.UpdateNow(frame_);
}

void ViewHost::FlashMainWindow(bool invert) { windows_.Flash(frame_, invert); }

void ViewHost::InvalidateView() { windows_.Invalidate(view_); }

void ViewHost::PlayTenhouWave() {
  if (wave_ != nullptr) windows_.PlayWave(wave_);
}

std::time_t ViewHost::Now() { return std::time(nullptr); }

const void* LoadTenhouWave(HINSTANCE instance) {
  HRSRC found = ::FindResourceW(instance, MAKEINTRESOURCEW(IDR_TENHOU_WAVE), L"WAVE");
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = ::LoadResource(instance, found);
  if (loaded == nullptr) return nullptr;
  return ::LockResource(loaded);
}

}  // namespace kestrum::win32
