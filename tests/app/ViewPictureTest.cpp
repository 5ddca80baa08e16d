#include "ViewPictureTest.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <memory>
#include <vector>

#include "AppTestPlace.h"
#include "app/KestrumView.h"
#include "app/ViewPicture.h"
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

QImage ExpectedPicture(const kestrum::Hand& hand, const std::vector<Placed>& count, bool red, QColor ground) {
  const QImage tiles(QStringLiteral(":/kestrum/tiles.png"));
  const QImage digits(QStringLiteral(":/kestrum/digits.png"));
  QImage picture(280, 42, QImage::Format_ARGB32_Premultiplied);
  picture.fill(ground);
  QPainter painter(&picture);
  for (int i = 0; i < 14; ++i) painter.drawImage(QPoint(20 * i, 0), tiles, TileSource(hand[std::size_t(i)]));
  for (const Placed& p : count) painter.drawImage(QPoint(p.x, 29), digits, GlyphSource(p.glyph, red));
  return picture;
}

QImage Painted(const kestrum::Hand& hand, kestrum::Count64 count, bool red, QColor ground) {
  static const PictureSheets sheets = PictureSheets::Load();
  if (sheets.tiles.size() != QSize(180, 112) || sheets.digits.size() != QSize(110, 24)) return {};
  QImage picture(280, 42, QImage::Format_ARGB32_Premultiplied);
  picture.fill(ground);
  QPainter painter(&picture);
  PaintViewPicture(painter, sheets, {hand, count, red, 20, 28});
  return picture;
}

// The view's own picture in logical pixels, and the device pixel ratio it
// was drawn at.
QImage Grabbed(QWidget& view, qreal* ratio) {
  const QPixmap grab = view.grab();
  *ratio = grab.devicePixelRatio();
  return grab.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage AtRatio(const QImage& logical, qreal ratio) {
  if (ratio == 1.0) return logical;
  QImage scaled = logical.scaled(logical.size() * ratio, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                      .convertToFormat(QImage::Format_ARGB32_Premultiplied);
  scaled.setDevicePixelRatio(ratio);
  return scaled;
}

std::vector<Placed> CountPlacement(kestrum::Count64 count) {
  if (count == 0) return {{'0', 128}, {'G', 137}};
  if (count == 999) return {{'9', 118}, {'9', 127}, {'9', 136}, {'G', 145}};
  if (count == 1000) return {{'1', 113}, {',', 122}, {'0', 125}, {'0', 134}, {'0', 143}, {'G', 152}};
  return {{'1', 98}, {',', 107}, {'2', 110}, {'3', 119}, {'4', 128}, {',', 137},
          {'5', 140}, {'6', 149}, {'7', 158}, {'G', 167}};
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
}

void ViewPictureTest::picture_data() {
  QTest::addColumn<qlonglong>("count");
  QTest::addColumn<bool>("red");
  QTest::addColumn<int>("hand");
  int hand = 0;
  for (const qlonglong count : {0LL, 999LL, 1000LL, 1234567LL}) {
    for (const bool red : {true, false}) {
      QTest::addRow("%lld %s", count, red ? "red" : "teal") << count << red << hand;
      hand = (hand + 1) % 3;
    }
  }
}

void ViewPictureTest::picture() {
  QFETCH(qlonglong, count);
  QFETCH(bool, red);
  QFETCH(int, hand);
  const QColor ground(Qt::white);
  const kestrum::Hand& tiles = kHands[hand];
  QCOMPARE(Painted(tiles, count, red, ground), ExpectedPicture(tiles, CountPlacement(count), red, ground));
}

void ViewPictureTest::viewShowsCarriedCountInRedBeforeFirstGame() {
  const auto view = ViewWith({{"ACCUMULATIONCNT", "1234567"}});
  QVERIFY(QTest::qWaitForWindowExposed(view.get()));
  QCOMPARE(view->size(), QSize(280, 42));
  qreal ratio = 1.0;
  const QImage shown = Grabbed(*view, &ratio);
  const QColor ground = view->palette().color(QPalette::Base);
  QCOMPARE(shown, AtRatio(ExpectedPicture(kestrum::kFixedStartHand, CountPlacement(1234567), true, ground), ratio));
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
  QCOMPARE(shown, AtRatio(ExpectedPicture(view->State().hand, CountPlacement(1000), false, ground), ratio));
}

// Under QT_SCALE_FACTOR=2 each sheet pixel must become a 2 x 2 square of
// one colour; a smoothed copy would blend the outlines into their
// neighbours. At ratio 1 this only checks that the grab is the picture size.
void ViewPictureTest::scaledScreenDoublesEveryPixel() {
  const auto view = ViewWith({});
  QVERIFY(QTest::qWaitForWindowExposed(view.get()));
  qreal ratio = 1.0;
  const QImage shown = Grabbed(*view, &ratio);
  QCOMPARE(shown.size(), QSize(280, 42) * ratio);
  if (ratio != 2.0) QSKIP("the screen is not scaled by 2");
  for (int y = 0; y < 84; y += 2) {
    for (int x = 0; x < 560; x += 2) {
      const QRgb corner = shown.pixel(x, y);
      if (shown.pixel(x + 1, y) != corner || shown.pixel(x, y + 1) != corner || shown.pixel(x + 1, y + 1) != corner) {
        QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) is not doubled").arg(x / 2).arg(y / 2)));
      }
    }
  }
}
