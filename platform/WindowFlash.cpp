#include "platform/WindowFlash.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QWindow>

#include <xcb/xcb.h>

namespace kestrum {
namespace {

// Qt's X11 backend queues the attention request in its output buffer and
// sends it only when some later event wakes the connection; for a window
// nobody looks at, that can be many seconds, and the requests then arrive
// in a burst. Each flash must reach the window manager at its own tick.
void SendQueuedRequests() {
  auto* x11 = qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (x11 == nullptr || x11->connection() == nullptr) return;
  xcb_flush(x11->connection());
}

}  // namespace

void WindowFlash::Flash(QWindow* window, bool invert) {
  if (window == nullptr) return;
  const bool lit = invert && !lit_;
  if (lit) {
    window->alert(0);
  } else {
    // QWindow offers no public call to withdraw a request made without a
    // time limit; its own expiry slot does exactly that.
    QMetaObject::invokeMethod(window, "_q_clearAlert");
  }
  lit_ = lit;
  SendQueuedRequests();
}

}  // namespace kestrum
