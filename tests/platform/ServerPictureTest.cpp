// The picture composed on a real X server (run under Xvfb, on Qt's xcb
// platform): read back out of the window, it must be exactly the blocks of
// the sheets at their places. The sheets here give every pixel its own
// colour, so a block taken from or put in the wrong place shows.
//
// Run on a 24-bit screen the picture is drawn; on a 16-bit one the window
// cannot show the sheets' pixels and nothing may be drawn.

#include "platform/ServerPicture.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWindow>

#include <array>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include <xcb/xcb.h>

namespace kestrum {
namespace {

constexpr QRgb kGround = 0xff336699;

xcb_connection_t* Connection() {
  return qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->connection();
}

bool ScreenHas24BitColour() { return xcb_setup_roots_iterator(xcb_get_setup(Connection())).data->root_depth == 24; }

// A sheet whose every pixel differs from every other one's, and from the
// other sheet's (the seed sets the blue channel apart).
QImage PatternSheet(QSize size, int seed) {
  QImage sheet(size, QImage::Format_RGB32);
  for (int y = 0; y < size.height(); ++y) {
    for (int x = 0; x < size.width(); ++x) sheet.setPixel(x, y, qRgb(x & 0xff, y & 0xff, (seed * 128 + (x >> 8) * 16 + (y >> 8)) & 0xff));
  }
  return sheet;
}

struct ShownWindow {
  std::unique_ptr<QWindow> window = std::make_unique<QWindow>();

  explicit ShownWindow(QSize size) {
    window->setSurfaceType(QSurface::RasterSurface);
    window->resize(size);
    window->show();
  }
  bool Exposed() const { return QTest::qWaitForWindowExposed(window.get()); }
  std::uint32_t Id() const { return static_cast<std::uint32_t>(window->winId()); }

  // What the window shows now, read back from the server.
  QImage Pixels() const {
    xcb_flush(Connection());
    const QSize size = window->size();
    const auto cookie = xcb_get_image(Connection(), XCB_IMAGE_FORMAT_Z_PIXMAP, Id(), 0, 0,
                                      static_cast<std::uint16_t>(size.width()), static_cast<std::uint16_t>(size.height()),
                                      ~0u);
    std::unique_ptr<xcb_get_image_reply_t, decltype(&std::free)> reply(
        xcb_get_image_reply(Connection(), cookie, nullptr), &std::free);
    if (reply == nullptr) return {};
    QImage image(xcb_get_image_data(reply.get()), size.width(), size.height(), size.width() * 4, QImage::Format_RGB32);
    return image.copy();
  }
};

// The picture drawn the plain way: the ground, then each block of layout
// pixels at the scale.
QImage Expected(QSize size, const std::vector<const QImage*>& sheets, const std::vector<SheetBlock>& blocks, int scale) {
  QImage picture(size, QImage::Format_RGB32);
  picture.fill(kGround);
  QPainter painter(&picture);
  for (const SheetBlock& block : blocks) {
    painter.drawImage(block.target * scale, *sheets[static_cast<std::size_t>(block.sheet)],
                      QRect(block.source.topLeft() * scale, block.source.size() * scale));
  }
  return picture;
}

class ServerPictureAtScale : public ::testing::TestWithParam<int> {};

TEST_P(ServerPictureAtScale, ShowsTheBlocksAtTheirPlacesAndCutsThoseThatRunPastTheEdge) {
  const int scale = GetParam();
  const QImage tiles = PatternSheet(QSize(180, 112) * scale, 0);
  const QImage digits = PatternSheet(QSize(110, 24) * scale, 1);
  const std::vector<const QImage*> sheets{&tiles, &digits};
  const QSize size = QSize(280, 42) * scale;
  ShownWindow shown(size);
  ASSERT_TRUE(shown.Exposed());
  ServerPicture picture;
  if (!ScreenHas24BitColour()) {
    EXPECT_FALSE(picture.Prepare(shown.Id(), sheets, scale, size));
    return;
  }
  ASSERT_TRUE(picture.Prepare(shown.Id(), sheets, scale, size));
  const std::vector<SheetBlock> blocks{
      {0, QRect(0, 0, 20, 28), QPoint(0, 0)},        {0, QRect(160, 84, 20, 28), QPoint(20, 0)},
      {1, QRect(9, 12, 9, 12), QPoint(100, 29)},     {1, QRect(90, 0, 13, 12), QPoint(109, 29)},
      {0, QRect(40, 28, 20, 28), QPoint(270, 20)},  // past the right and bottom edges
  };
  picture.Compose(blocks, kGround);
  picture.Show();
  EXPECT_EQ(shown.Pixels(), Expected(size, sheets, blocks, scale));

  // Composed anew, nothing of the last picture stays; blocks of a sheet
  // that is not there, or placed left of the picture, are left out.
  const std::vector<SheetBlock> next{{1, QRect(0, 0, 9, 12), QPoint(5, 5)}};
  std::vector<SheetBlock> withStrays = next;
  withStrays.push_back({2, QRect(0, 0, 9, 12), QPoint(50, 5)});
  withStrays.push_back({-1, QRect(0, 0, 9, 12), QPoint(60, 5)});
  withStrays.push_back({0, QRect(0, 0, 20, 28), QPoint(-4, 5)});
  picture.Compose(withStrays, kGround);
  picture.Show();
  EXPECT_EQ(shown.Pixels(), Expected(size, sheets, next, scale));
}

std::string ScaleName(const ::testing::TestParamInfo<int>& scale) { return "x" + std::to_string(scale.param); }

INSTANTIATE_TEST_SUITE_P(Scales, ServerPictureAtScale, ::testing::Values(1, 2), ScaleName);

// A screen change brings other sheets and another window size; the same
// picture object takes them up and shows the new sheets' pixels.
TEST(ServerPicture, TakesUpTheSheetsOfAnotherScale) {
  if (!ScreenHas24BitColour()) GTEST_SKIP() << "drawn only on a 24-bit screen";
  const QImage small = PatternSheet(QSize(110, 24), 0);
  const QImage large = PatternSheet(QSize(220, 48), 1);
  const std::vector<SheetBlock> blocks{{0, QRect(9, 0, 9, 12), QPoint(10, 10)}};
  ServerPicture picture;
  ShownWindow first(QSize(280, 42));
  ShownWindow second(QSize(560, 84));
  ASSERT_TRUE(first.Exposed() && second.Exposed());
  const std::vector<const QImage*> smallSheets{&small};
  const std::vector<const QImage*> largeSheets{&large};
  ASSERT_TRUE(picture.Prepare(first.Id(), smallSheets, 1, QSize(280, 42)));
  picture.Compose(blocks, kGround);
  picture.Show();
  ASSERT_TRUE(picture.Prepare(second.Id(), largeSheets, 2, QSize(560, 84)));
  picture.Compose(blocks, kGround);
  picture.Show();
  EXPECT_EQ(second.Pixels(), Expected(QSize(560, 84), largeSheets, blocks, 2));
}

// The window's size must be the picture's: a picture smaller than its
// window would leave a margin nobody draws.
TEST(ServerPicture, RefusesAWindowOfAnotherSizeAndAnUnusableSheet) {
  const QImage sheet = PatternSheet(QSize(110, 24), 0);
  const QImage indexed = sheet.convertToFormat(QImage::Format_Indexed8);
  ShownWindow shown(QSize(280, 42));
  ASSERT_TRUE(shown.Exposed());
  ServerPicture picture;
  const std::vector<const QImage*> sheets{&sheet};
  EXPECT_FALSE(picture.Prepare(shown.Id(), sheets, 2, QSize(560, 84)));
  EXPECT_FALSE(picture.Prepare(shown.Id(), sheets, 1, QSize(281, 42)));
  const std::vector<const QImage*> unusable{&indexed};
  EXPECT_FALSE(picture.Prepare(shown.Id(), unusable, 1, QSize(280, 42)));
  EXPECT_FALSE(picture.Prepare(0, sheets, 1, QSize(280, 42)));
  EXPECT_EQ(picture.Prepare(shown.Id(), sheets, 1, QSize(280, 42)), ScreenHas24BitColour());
}

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
