#pragma once
// The main view's picture drawn straight on the X server (see
// ServerPicture), from the same block list as the picture in memory
// (ViewPicture). The picture is composed on the server only when what it
// shows, the ground, the window or the sheets' scale changed; otherwise a
// paint is one copy into the window.

#include <cstdint>
#include <optional>

#include <QColor>
#include <QLoggingCategory>

#include "app/PictureLayout.h"
#include "platform/ServerPicture.h"

namespace kestrum {
struct PictureSheets;
}

// Which way the view is painted, and when its sheets go up to the server:
// seen with QT_LOGGING_RULES=kestrum.view.debug=true.
Q_DECLARE_LOGGING_CATEGORY(lcView)

class ServerViewPicture {
 public:
  // Shows the picture of `content` in `window`, whose device pixel ratio
  // is the sheets' scale. False when the server cannot show it exactly;
  // the caller then paints through Qt.
  bool Show(std::uint32_t window, const kestrum::PictureSheets& sheets, const PictureContent& content, QColor ground);

 private:
  kestrum::ServerPicture server_;
  std::uint32_t window_ = 0;
  int scale_ = 0;
  std::optional<PictureContent> composed_;
  QRgb ground_ = 0;
};
