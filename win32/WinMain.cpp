// kestrum.exe: one instance at a time, one fixed-size window, the run on
// the view's timers.

#include <windows.h>
#include <commctrl.h>

#include "win32/KestrumView.h"
#include "win32/MainFrame.h"
#include "win32/resource.h"

namespace {

constexpr const wchar_t* kGuardName = L"KESTRUM_RUNNING";

// A second instance ends here, before any window, store, log or status
// block is touched. The mutex is made without an owner and never closed:
// the named object lasts as long as this process.
bool AnotherInstanceRuns() {
  if (HANDLE other = OpenMutexW(MUTEX_ALL_ACCESS, FALSE, kGuardName)) {
    CloseHandle(other);
    return true;
  }
  CreateMutexW(nullptr, FALSE, kGuardName);
  return false;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*commandLine*/, int show) {
  if (AnotherInstanceRuns()) return 0;
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  if (!kestrum::win32::MainFrame::Register(instance) || !kestrum::win32::KestrumView::Register(instance)) return 1;
  kestrum::win32::MainFrame* frame = kestrum::win32::MainFrame::Create(instance);
  if (frame == nullptr) return 1;
  HWND window = frame->Window();
  frame->View()->OnUpdate();
  ShowWindow(window, show);
  UpdateWindow(window);
  HACCEL keys = LoadAcceleratorsW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
  MSG message{};
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (TranslateAcceleratorW(window, keys, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}
