#pragma once
// A picture composed on the X server. Its sheets are uploaded once into
// pixmaps on the server; each picture is composed from blocks of them in an
// off-screen pixmap and then shown in the window with one copy, so nothing
// half-drawn is ever seen. Composing and showing send a few dozen small
// requests and no pixels, and allocate nothing.
//
// Used only where the server shows the sheets' pixels exactly: Qt's X11
// platform, a window of a TrueColor visual with 8-bit red, green and blue
// masks laid out as 32-bit pixels in the host's byte order (QImage's RGB32).

#include <cstdint>
#include <span>
#include <vector>

#include <QRgb>
#include <QSize>

#include "platform/SheetBlock.h"

class QImage;
struct xcb_connection_t;

namespace kestrum {

class ServerPicture {
 public:
  ServerPicture() = default;
  // Frees the pixmaps and the graphics context on the server.
  ~ServerPicture();
  ServerPicture(const ServerPicture&) = delete;
  ServerPicture& operator=(const ServerPicture&) = delete;

  // Whether the application draws on an X server through Qt's xcb platform.
  static bool PlatformHasServer();

  // Makes ready to show a picture of `size` device pixels in `window`,
  // composed from `sheets` (RGB32) at `scale` device pixels per layout
  // pixel. The window's visual is checked, and the sheets are uploaded, when
  // the window or the scale differ from the last call. False when the
  // window cannot show the sheets' pixels exactly, its size is not the
  // picture's, or a request fails; nothing is then left on the server.
  bool Prepare(std::uint32_t window, std::span<const QImage* const> sheets, int scale, QSize size);

  // Composes the picture off screen: the ground, then the blocks in order.
  void Compose(std::span<const SheetBlock> blocks, QRgb ground);
  // Copies the composed picture into the window and sends what is queued.
  void Show();

 private:
  bool WindowShowsRgb32(std::uint32_t window, QSize size);
  bool Upload(std::uint32_t window, std::span<const QImage* const> sheets, QSize size);
  void Release();

  xcb_connection_t* connection_ = nullptr;
  std::uint32_t window_ = 0;
  std::uint8_t depth_ = 0;
  int scale_ = 0;
  QSize size_;
  std::uint32_t picture_ = 0;  // the off-screen pixmap
  std::uint32_t gc_ = 0;       // one context for every fill and copy
  std::vector<std::uint32_t> sheets_;
  std::vector<QSize> sheetSizes_;
};

}  // namespace kestrum
