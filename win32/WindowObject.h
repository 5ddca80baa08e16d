#pragma once

// A window whose C++ object lives in the window's user data: the object is
// made at WM_NCCREATE from the creation parameters, handed every message
// after that, and deleted at WM_NCDESTROY, the last message a window gets.

#include <windows.h>

namespace kestrum::win32 {

// Window needs a static Window* Make(const CREATESTRUCTW&, HWND) and a
// LRESULT Handle(UINT, WPARAM, LPARAM); both may be private if it befriends
// this procedure.
template <typename Window>
LRESULT CALLBACK WindowObjectProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    Window* made = Window::Make(*reinterpret_cast<const CREATESTRUCTW*>(lParam), window);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(made));
  }
  auto* object = reinterpret_cast<Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (object == nullptr) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    delete object;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return object->Handle(message, wParam, lParam);
}

}  // namespace kestrum::win32
