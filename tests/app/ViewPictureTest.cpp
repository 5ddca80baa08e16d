#include "ViewPictureTest.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <limits>
#include <memory>
#include <vector>

#include "AppTestPlace.h"
#include "app/KestrumView.h"
#include "app/PictureLayout.h"
#include "app/ViewPicture.h"
#include "dialogs/PictureSheets.h"
#include "engine/SimulationState.h"

namespace {

// A glyph of the digit sheet placed at an x of the count row: '0'..'9',
// ',' for the comma, 'G' for 局. The positions below are written out by
// hand from the layout the window has always had, not computed.
struct Placed {
  char glyph;
  int x;
};

QRect GlyphSource(char glyph, bool red) {
  const int band = red ? 12 : 0;
  if (glyph == ',') return {106, band, 3, 12};
  if (glyph == 'G') return {90, band, 13, 12};
  return {9 * (glyph - '0'), band, 9, 12};
}

QRect TileSource(kestrum::TileCode k) { return {((k - 1) % 9) * 20, ((k - 1) / 9) * 28, 20, 28}; }

QRect Scaled(QRect layout, int scale) { return {layout.topLeft() * scale, layout.size() * scale}; }

// The picture put together from the sheet files of a scale (1 or 2), block
// by block at the layout's places times the scale, in device pixels.
QImage ExpectedPicture(const kestrum::Hand& hand, const std::vector<Placed>& count, bool red, QColor ground,
                       int scale = 1) {
  const QString suffix = scale == 2 ? QStringLiteral("@2x") : QString();
  // Loaded by hand, as plain pixels: Qt reads an "@2x" name as a picture
  // for a scaled screen and would draw it at half size.
  QImage tiles(QStringLiteral(":/kestrum/tiles%1.png").arg(suffix));
  QImage digits(QStringLiteral(":/kestrum/digits%1.png").arg(suffix));
  tiles.setDevicePixelRatio(1);
  digits.setDevicePixelRatio(1);
  QImage picture(280 * scale, 42 * scale, QImage::Format_ARGB32_Premultiplied);
  picture.fill(ground);
  {
    QPainter painter(&picture);
    for (int i = 0; i < 14; ++i) {
      painter.drawImage(QPoint(20 * i, 0) * scale, tiles, Scaled(TileSource(hand[std::size_t(i)]), scale));
    }
    for (const Placed& p : count) {
      painter.drawImage(QPoint(p.x, 29) * scale, digits, Scaled(GlyphSource(p.glyph, red), scale));
    }
  }
  picture.setDevicePixelRatio(scale);
  return picture;
}

QImage Painted(const kestrum::Hand& hand, kestrum::Count64 count, bool red, QColor ground, int scale = 1) {
  const kestrum::PictureSheets& sheets = kestrum::PictureSheets::OfScale(scale);
  if (sheets.tiles.size() != QSize(180, 112) * scale || sheets.digits.size() != QSize(110, 24) * scale) return {};
  ViewPicture picture;
  picture.Update(sheets, {hand, count, red, 20, 28}, ground);
  return picture.Image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

std::vector<Placed> CountPlacement(kestrum::Count64 count) {
  if (count == 0) return {{'0', 128}, {'G', 137}};
  if (count == 999) return {{'9', 118}, {'9', 127}, {'9', 136}, {'G', 145}};
  if (count == 1000) return {{'1', 113}, {',', 122}, {'0', 125}, {'0', 134}, {'0', 143}, {'G', 152}};
  return {{'1', 98}, {',', 107}, {'2', 110}, {'3', 119}, {'4', 128}, {',', 137},
          {'5', 140}, {'6', 149}, {'7', 158}, {'G', 167}};
}

// The view's own picture in logical pixels, and the device pixel ratio it
// was drawn at.
QImage Grabbed(QWidget& view, qreal* ratio) {
  const QPixmap grab = view.grab();
  *ratio = grab.devicePixelRatio();
  return grab.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// What the view must show at a device pixel ratio of 1 or 2: the picture
// drawn from the sheets of that scale.
QImage Expected(const kestrum::Hand& hand, kestrum::Count64 count, bool red, QColor ground, qreal ratio) {
  return ExpectedPicture(hand, CountPlacement(count), red, ground, ratio == 2.0 ? 2 : 1);
}


// Three hands that between them show every tile of the sheet.
const kestrum::Hand kHands[] = {
    {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14},
    {15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28},
    {29, 30, 31, 32, 33, 34, 1, 9, 10, 18, 19, 27, 34, 34},
};

std::unique_ptr<CKestrumView> ViewWith(const std::map<std::string, std::string>& stored) {
  apptest::PresetStore(stored);
  auto view = std::make_unique<CKestrumView>(apptest::FreshPlaces());
  view->show();
  return view;
}

}  // namespace

void ViewPictureTest::initTestCase() {
  // Every comparison below would pass on two blank pictures; the sheets
  // must really be there, at their geometry.
  QCOMPARE(QImage(QStringLiteral(":/kestrum/tiles.png")).size(), QSize(180, 112));
  QCOMPARE(QImage(QStringLiteral(":/kestrum/digits.png")).size(), QSize(110, 24));
  QCOMPARE(QImage(QStringLiteral(":/kestrum/tiles@2x.png")).size(), QSize(360, 224));
  QCOMPARE(QImage(QStringLiteral(":/kestrum/digits@2x.png")).size(), QSize(220, 48));
}

void ViewPictureTest::picture_data() {
  QTest::addColumn<qlonglong>("count");
  QTest::addColumn<bool>("red");
  QTest::addColumn<int>("hand");
  QTest::addColumn<int>("scale");
  int hand = 0;
  for (const int scale : {1, 2}) {
    for (const qlonglong count : {0LL, 999LL, 1000LL, 1234567LL}) {
      for (const bool red : {true, false}) {
        QTest::addRow("%lld %s at %dx", count, red ? "red" : "teal", scale) << count << red << hand << scale;
        hand = (hand + 1) % 3;
      }
    }
  }
}

void ViewPictureTest::picture() {
  QFETCH(qlonglong, count);
  QFETCH(bool, red);
  QFETCH(int, hand);
  QFETCH(int, scale);
  const QColor ground(Qt::white);
  const kestrum::Hand& tiles = kHands[hand];
  QCOMPARE(Painted(tiles, count, red, ground, scale), ExpectedPicture(tiles, CountPlacement(count), red, ground, scale));
}

// The picture is kept between paints: a second update with other content
// must not leave anything of the first behind (a shorter count, teal after
// red), and an update with the same content changes nothing.
void ViewPictureTest::pictureFollowsItsContent() {
  const kestrum::PictureSheets& sheets = kestrum::PictureSheets::OfScale(1);
  const QColor ground(Qt::white);
  ViewPicture picture;
  picture.Update(sheets, {kHands[0], 1234567, true, 20, 28}, ground);
  picture.Update(sheets, {kHands[1], 999, false, 20, 28}, ground);
  const QImage second = picture.Image().convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QCOMPARE(second, ExpectedPicture(kHands[1], CountPlacement(999), false, ground));
  picture.Update(sheets, {kHands[1], 999, false, 20, 28}, ground);
  QCOMPARE(picture.Image().convertToFormat(QImage::Format_ARGB32_Premultiplied), second);
  picture.Update(sheets, {kHands[1], 999, false, 20, 28}, QColor(Qt::yellow));
  QCOMPARE(picture.Image().convertToFormat(QImage::Format_ARGB32_Premultiplied),
           ExpectedPicture(kHands[1], CountPlacement(999), false, QColor(Qt::yellow)));
}

// Nineteen digits, six commas and 局 under the fourteen tiles: the most a
// count can need, the largest one and one wrapped below zero alike (drawn
// without its sign). The mark closes the row where the digits leave off.
void ViewPictureTest::layoutHoldsTheLongestCounts() {
  for (const kestrum::Count64 count :
       {std::numeric_limits<kestrum::Count64>::max(), std::numeric_limits<kestrum::Count64>::min()}) {
    const PictureLayout layout({kHands[0], count, false, 20, 28});
    const auto blocks = layout.Blocks();
    QCOMPARE(blocks.size(), std::size_t{14 + 19 + 6 + 1});
    const int left = (280 - 10 * 19 - 13) / 2;
    QCOMPARE(blocks.back(), (kestrum::SheetBlock{kDigitSheet, QRect(90, 0, 13, 12), QPoint(left + 19 * 9 + 6 * 3, 29)}));
  }
}

void ViewPictureTest::viewShowsCarriedCountInRedBeforeFirstGame() {
  const auto view = ViewWith({{"ACCUMULATIONCNT", "1234567"}});
  QVERIFY(QTest::qWaitForWindowExposed(view.get()));
  QCOMPARE(view->size(), QSize(280, 42));
  qreal ratio = 1.0;
  const QImage shown = Grabbed(*view, &ratio);
  const QColor ground = view->palette().color(QPalette::Base);
  QCOMPARE(shown, Expected(kestrum::kFixedStartHand, 1234567, true, ground, ratio));
}

void ViewPictureTest::viewShowsTealCountAfterAGame() {
  const auto view = ViewWith({{"ACCUMULATIONCNT", "999"}, {"SPEED", "1000"}});
  QVERIFY(QTest::qWaitForWindowExposed(view.get()));
  view->OnStart();
  QTRY_COMPARE_WITH_TIMEOUT(view->State().sinceCnt, kestrum::Count64{1000}, 3000);
  // A heavenly hand on this very game would show red; it is a chance of
  // about one in three hundred thousand and would be plain from the message.
  QVERIFY(!view->State().lastWasTenhou);
  qreal ratio = 1.0;
  const QImage shown = Grabbed(*view, &ratio);
  const QColor ground = view->palette().color(QPalette::Base);
  QCOMPARE(shown, Expected(view->State().hand, 1000, false, ground, ratio));
}

// Between 1 and 2 the 2x picture is drawn smaller with smoothing: every
// tile keeps its black outline all round and no pixel of the picture is
// left unpainted. (At 1.5, copied 1x pixels would come out one or two device
// pixels wide by turns.)
void ViewPictureTest::fractionalScaleDrawsTheLargePictureSmaller() {
  const kestrum::PictureSheets& sheets = kestrum::PictureSheets::OfScale(kestrum::PictureSheets::ScaleForRatio(1.5));
  QCOMPARE(sheets.scale, 2);
  QCOMPARE(kestrum::PictureSheets::ScaleForRatio(1.0), 1);
  QCOMPARE(kestrum::PictureSheets::ScaleForRatio(0.75), 1);
  QCOMPARE(kestrum::PictureSheets::ScaleForRatio(2.0), 2);
  ViewPicture picture;
  picture.Update(sheets, {kHands[0], 0, false, 20, 28}, Qt::white);
  QImage device(420, 63, QImage::Format_RGB32);
  device.setDevicePixelRatio(1.5);
  device.fill(Qt::magenta);
  QPainter painter(&device);
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(QPoint(0, 0), picture.Image());
  painter.end();
  for (int y = 0; y < device.height(); ++y) {
    for (int x = 0; x < device.width(); ++x) QVERIFY(device.pixel(x, y) != QColor(Qt::magenta).rgb());
  }
  // The outline of each tile's left edge is dark all down the tile.
  for (int i = 0; i < 14; ++i) {
    const int x = i * 30;
    for (int y = 2; y < 40; ++y) QVERIFY2(qGray(device.pixel(x, y)) < 96, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
  }
}
