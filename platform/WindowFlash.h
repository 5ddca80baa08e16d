#pragma once
// The caption flash of a window that wants the user's attention. On X11 it
// is the window manager's attention request (_NET_WM_STATE_DEMANDS_ATTENTION),
// turned on and off once per tick so that a task bar that shows it blinks.

class QWindow;

namespace kestrum {

class WindowFlash {
 public:
  // invert: switch between the attention look and the normal one; without
  // invert: back to the normal look.
  void Flash(QWindow* window, bool invert);

 private:
  bool lit_ = false;
};

}  // namespace kestrum
