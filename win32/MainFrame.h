#pragma once
// The main frame: a fixed-size window (caption, system menu, minimise box;
// no sizing border, no maximise box) with menu, accelerators and icon 128,
// holding the view. Commands go to the view first, then to the frame.

#include <windows.h>

#include "win32/WindowObject.h"

namespace kestrum::win32 {

class KestrumView;

class MainFrame {
 public:
  static constexpr const wchar_t* kClassName = L"KestrumFrame";
  static constexpr DWORD kStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

  static bool Register(HINSTANCE instance);
  // Creates the frame and its view (whose creation builds the run); null on
  // failure. The object lives until its window is destroyed.
  static MainFrame* Create(HINSTANCE instance);

  HWND Window() const { return window_; }
  KestrumView* View() const { return view_; }

 private:
  MainFrame(HINSTANCE instance, HWND window) : instance_(instance), window_(window) {}

  friend LRESULT CALLBACK WindowObjectProcedure<MainFrame>(HWND, UINT, WPARAM, LPARAM);
  static MainFrame* Make(const CREATESTRUCTW& creation, HWND window);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void EnableCommands(HMENU menu);
  void OnCommand(int id);

  HINSTANCE instance_;
  HWND window_;
  KestrumView* view_ = nullptr;
};

}  // namespace kestrum::win32
