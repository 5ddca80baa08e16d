#include "platform/ServerPicture.h"

#include <QGuiApplication>
#include <QImage>

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <memory>

#include <xcb/xcb.h>

namespace kestrum {
namespace {

constexpr std::uint32_t kRedMask = 0xff0000;
constexpr std::uint32_t kGreenMask = 0x00ff00;
constexpr std::uint32_t kBlueMask = 0x0000ff;
constexpr std::size_t kPutImageHeaderBytes = 24;

struct FreeReply {
  void operator()(void* reply) const { std::free(reply); }
};
template <typename T>
using Reply = std::unique_ptr<T, FreeReply>;

xcb_connection_t* QtConnection() {
  auto* x11 = qGuiApp == nullptr ? nullptr : qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  return x11 == nullptr ? nullptr : x11->connection();
}

// Waits for the answers to the checked requests of a set-up; true when
// none of them failed.
bool AllSucceeded(xcb_connection_t* connection, std::span<const xcb_void_cookie_t> cookies) {
  bool succeeded = true;
  for (const xcb_void_cookie_t cookie : cookies) {
    Reply<xcb_generic_error_t> error(xcb_request_check(connection, cookie));
    succeeded = succeeded && error == nullptr;
  }
  return succeeded;
}

// QImage's RGB32 in memory is one 32-bit word a pixel, 0xffRRGGBB in the
// host's byte order; the server must read its 32-bit pixels in that order.
bool ServerReadsHostWords(const xcb_setup_t* setup) {
  const auto hostOrder = std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
  return setup->image_byte_order == hostOrder;
}

bool DepthHasWordPixels(const xcb_setup_t* setup, std::uint8_t depth) {
  for (auto it = xcb_setup_pixmap_formats_iterator(setup); it.rem != 0; xcb_format_next(&it)) {
    if (it.data->depth == depth) return it.data->bits_per_pixel == 32 && it.data->scanline_pad == 32;
  }
  return false;
}

bool VisualIsRgb24(const xcb_setup_t* setup, std::uint8_t depth, xcb_visualid_t visual) {
  for (auto screen = xcb_setup_roots_iterator(setup); screen.rem != 0; xcb_screen_next(&screen)) {
    for (auto d = xcb_screen_allowed_depths_iterator(screen.data); d.rem != 0; xcb_depth_next(&d)) {
      if (d.data->depth != depth) continue;
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem != 0; xcb_visualtype_next(&v)) {
        if (v.data->visual_id != visual) continue;
        return v.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR && v.data->red_mask == kRedMask &&
               v.data->green_mask == kGreenMask && v.data->blue_mask == kBlueMask;
      }
    }
  }
  return false;
}

std::uint16_t Unsigned16(int value) { return static_cast<std::uint16_t>(value); }
std::int16_t Signed16(int value) { return static_cast<std::int16_t>(value); }

}  // namespace

ServerPicture::~ServerPicture() { Release(); }

bool ServerPicture::PlatformHasServer() {
  return QGuiApplication::platformName() == QLatin1String("xcb") && QtConnection() != nullptr;
}

bool ServerPicture::Prepare(std::uint32_t window, std::span<const QImage* const> sheets, int scale, QSize size) {
  if (window == window_ && scale == scale_ && size == size_ && connection_ != nullptr) return true;
  Release();
  connection_ = QtConnection();
  if (connection_ == nullptr || xcb_connection_has_error(connection_) != 0 || window == 0) return false;
  if (!WindowShowsRgb32(window, size) || !Upload(window, sheets, size)) {
    Release();
    return false;
  }
  window_ = window;
  scale_ = scale;
  size_ = size;
  return true;
}

bool ServerPicture::WindowShowsRgb32(std::uint32_t window, QSize size) {
  const auto attributesCookie = xcb_get_window_attributes(connection_, window);
  const auto geometryCookie = xcb_get_geometry(connection_, window);
  const Reply<xcb_get_window_attributes_reply_t> attributes(
      xcb_get_window_attributes_reply(connection_, attributesCookie, nullptr));
  const Reply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection_, geometryCookie, nullptr));
  if (attributes == nullptr || geometry == nullptr) return false;
  if (geometry->width != size.width() || geometry->height != size.height()) return false;
  depth_ = geometry->depth;
  const xcb_setup_t* setup = xcb_get_setup(connection_);
  return (depth_ == 24 || depth_ == 32) && ServerReadsHostWords(setup) && DepthHasWordPixels(setup, depth_) &&
         VisualIsRgb24(setup, depth_, attributes->visual);
}

// Each sheet goes up in bands of whole rows that fit in one request. The
// requests are checked together at the end: one round trip for all.
bool ServerPicture::Upload(std::uint32_t window, std::span<const QImage* const> sheets, QSize size) {
  const auto usable = [](const QImage* sheet) {
    return sheet != nullptr && !sheet->isNull() && sheet->format() == QImage::Format_RGB32;
  };
  if (!std::all_of(sheets.begin(), sheets.end(), usable)) return false;
  std::vector<xcb_void_cookie_t> cookies;
  picture_ = xcb_generate_id(connection_);
  cookies.push_back(xcb_create_pixmap_checked(connection_, depth_, picture_, window, Unsigned16(size.width()),
                                              Unsigned16(size.height())));
  gc_ = xcb_generate_id(connection_);
  const std::uint32_t noExposures = 0;
  cookies.push_back(xcb_create_gc_checked(connection_, gc_, picture_, XCB_GC_GRAPHICS_EXPOSURES, &noExposures));
  const std::size_t requestBytes = std::size_t{xcb_get_maximum_request_length(connection_)} * 4;
  for (const QImage* sheet : sheets) {
    const std::uint32_t pixmap = xcb_generate_id(connection_);
    cookies.push_back(xcb_create_pixmap_checked(connection_, depth_, pixmap, window, Unsigned16(sheet->width()),
                                                Unsigned16(sheet->height())));
    sheets_.push_back(pixmap);
    sheetSizes_.push_back(sheet->size());
    const auto rowBytes = static_cast<std::size_t>(sheet->bytesPerLine());
    const int bandRows = std::max(1, static_cast<int>((requestBytes - kPutImageHeaderBytes) / rowBytes));
    for (int top = 0; top < sheet->height(); top += bandRows) {
      const int rows = std::min(bandRows, sheet->height() - top);
      cookies.push_back(xcb_put_image_checked(connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, pixmap, gc_,
                                              Unsigned16(sheet->width()), Unsigned16(rows), 0, Signed16(top), 0,
                                              depth_, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(rows)),
                                              sheet->constScanLine(top)));
    }
  }
  return AllSucceeded(connection_, cookies);
}

void ServerPicture::Compose(std::span<const SheetBlock> blocks, QRgb ground) {
  if (picture_ == 0) return;
  // A 24-bit visual takes the colour as it stands; a 32-bit one also needs
  // the alpha byte, which RGB32 always has full.
  const std::uint32_t pixel = depth_ == 32 ? ground | 0xff000000u : ground & 0x00ffffffu;
  xcb_change_gc(connection_, gc_, XCB_GC_FOREGROUND, &pixel);
  const xcb_rectangle_t whole{0, 0, Unsigned16(size_.width()), Unsigned16(size_.height())};
  xcb_poly_fill_rectangle(connection_, picture_, gc_, 1, &whole);
  for (const SheetBlock& block : blocks) {
    if (block.sheet < 0 || static_cast<std::size_t>(block.sheet) >= sheets_.size()) continue;
    const auto sheet = static_cast<std::size_t>(block.sheet);
    const SheetBlock device = DeviceBlock(block, scale_, sheetSizes_[sheet]);
    if (device.source.isEmpty()) continue;
    xcb_copy_area(connection_, sheets_[sheet], picture_, gc_, Signed16(device.source.x()), Signed16(device.source.y()),
                  Signed16(device.target.x()), Signed16(device.target.y()), Unsigned16(device.source.width()),
                  Unsigned16(device.source.height()));
  }
}

void ServerPicture::Show() {
  if (picture_ == 0) return;
  xcb_copy_area(connection_, picture_, window_, gc_, 0, 0, 0, 0, Unsigned16(size_.width()), Unsigned16(size_.height()));
  xcb_flush(connection_);
}

// The connection may already be gone when the application object has been
// destroyed first; the server then frees everything with it.
void ServerPicture::Release() {
  if (connection_ != nullptr && QtConnection() == connection_) {
    for (const std::uint32_t pixmap : sheets_) xcb_free_pixmap(connection_, pixmap);
    if (picture_ != 0) xcb_free_pixmap(connection_, picture_);
    if (gc_ != 0) xcb_free_gc(connection_, gc_);
    xcb_flush(connection_);
  }
  sheets_.clear();
  sheetSizes_.clear();
  picture_ = 0;
  gc_ = 0;
  window_ = 0;
  scale_ = 0;
  size_ = QSize();
  connection_ = nullptr;
}

}  // namespace kestrum
