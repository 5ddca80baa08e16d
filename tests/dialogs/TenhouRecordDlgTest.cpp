// The heavenly-hand log browser: which entry each slider position shows, the
// texts with their units, the hand's pixels, damaged texts, and entries that
// arrive while it is open (shown only once the slider is used).

#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QStringList>
#include <QTest>

#include <memory>

#include "dialogs/HandPicture.h"
#include "dialogs/TenhouRecordDlg.h"
#include "store/TenhouLogTable.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

// Entry i tells its index in its run count, so every label shows which
// entry it came from.
kestrum::TenhouLogEntry Entry(int i) {
  return {"2001/03/04 09:05:03", "2001/03/04 21:47:10", "1m1m1m2m3m4m5m6m7m8m8m9m9m9m", std::to_string(i), "600",
          "2", "3.0303e-004", "250", "350"};
}

std::unique_ptr<kestrum::TenhouLogTable> TableOf(int count) {
  auto table = std::make_unique<kestrum::TenhouLogTable>();
  for (int i = 0; i < count; ++i) table->entries[static_cast<std::size_t>(i)] = Entry(i);
  table->entryCount = count;
  return table;
}

QString Text(CTenhouRecordDlg& dialog, const char* name) { return Child<QLabel>(dialog, name)->text(); }

// The entry's number and its run as the dialog shows them.
QStringList Shown(CTenhouRecordDlg& dialog) { return {Text(dialog, "number"), Text(dialog, "run")}; }
QStringList NumberAndRun(const char* number, const char* run) {
  return {QLatin1String(number), QLatin1String(run) + QStringLiteral(" 局")};
}

// A cell of the tile sheet drawn for a scale of 1 or 2, as plain pixels.
QImage SheetCell(int scale, kestrum::TileCell cell) {
  QImage sheet(scale == 2 ? QStringLiteral(":/kestrum/tiles@2x.png") : QStringLiteral(":/kestrum/tiles.png"));
  sheet.setDevicePixelRatio(1);
  return sheet.copy(cell.column * 20 * scale, cell.row * 28 * scale, 20 * scale, 28 * scale)
      .convertToFormat(QImage::Format_RGB32);
}

}  // namespace

class TenhouRecordDlgTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void oneEntryShowsNumberOneWithItsUnits() {
    const auto table = TableOf(1);
    CTenhouRecordDlg dialog(*table);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("天和記録"));
    auto* slider = Child<QSlider>(dialog, "slider");
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 0);
    QCOMPARE(Text(dialog, "number"), QStringLiteral("1"));
    QCOMPARE(Text(dialog, "start"), QStringLiteral("2001/03/04 09:05:03"));
    QCOMPARE(Text(dialog, "end"), QStringLiteral("2001/03/04 21:47:10"));
    QCOMPARE(Text(dialog, "run"), QStringLiteral("0 局"));
    QCOMPARE(Text(dialog, "total"), QStringLiteral("600 局"));
    QCOMPARE(Text(dialog, "tenho"), QStringLiteral("2 回"));
    QCOMPARE(Text(dialog, "probability"), QStringLiteral("3.0303e-004 ％"));
    QCOMPARE(Text(dialog, "longest"), QStringLiteral("350 局"));
    QVERIFY(!Child<QLabel>(dialog, "handText")->isVisibleTo(&dialog));
  }

  void newestAtTheLeftEndAndEachStepGoesFurtherBack() {
    const auto table = TableOf(5);
    CTenhouRecordDlg dialog(*table);
    auto* slider = Child<QSlider>(dialog, "slider");
    QCOMPARE(slider->value(), 0);
    QCOMPARE(slider->tickInterval(), 1);
    QCOMPARE(slider->pageStep(), 1);
    QCOMPARE(dialog.selectedIndex(), 4);
    QCOMPARE(Text(dialog, "run"), QStringLiteral("4 局"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(Shown(dialog), NumberAndRun("2", "3"));
    QTest::keyClick(slider, Qt::Key_PageDown);
    QCOMPARE(Text(dialog, "number"), QStringLiteral("3"));
    QTest::keyClick(slider, Qt::Key_PageUp);
    QCOMPARE(Text(dialog, "number"), QStringLiteral("2"));
  }

  void aFullTableReachesTheOldestAtTheRightEnd() {
    const auto table = TableOf(kestrum::TenhouLogTable::kCapacity);
    CTenhouRecordDlg dialog(*table);
    auto* slider = Child<QSlider>(dialog, "slider");
    QCOMPARE(slider->maximum(), 999);
    slider->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(dialog.selectedIndex(), 0);
    QCOMPARE(Shown(dialog), NumberAndRun("1000", "0"));
  }

  // The run appends while the dialog is open: nothing changes until the
  // slider is used, the range stays, and positions count from the new newest.
  void anEntryAppendedWhileOpenShowsOnlyWhenTheSliderIsUsed() {
    const auto table = TableOf(3);
    CTenhouRecordDlg dialog(*table);
    dialog.show();
    auto* slider = Child<QSlider>(dialog, "slider");
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(Text(dialog, "run"), QStringLiteral("1 局"));
    const QImage handBefore = Child<QWidget>(dialog, "hand")->grab().toImage();

    table->entries[3] = Entry(3);
    table->entries[3].handText = "1p1p1p2p3p4p5p6p7p8p8p9p9p9p";
    table->entryCount = 4;
    QTest::qWait(400);
    QCOMPARE(Shown(dialog), NumberAndRun("2", "1"));
    QCOMPARE(slider->maximum(), 2);
    QCOMPARE(slider->value(), 1);
    QCOMPARE(Child<QWidget>(dialog, "hand")->grab().toImage(), handBefore);

    QTest::keyClick(slider, Qt::Key_Left);
    QCOMPARE(dialog.selectedIndex(), 3);
    QCOMPARE(Shown(dialog), NumberAndRun("1", "3"));
    QVERIFY(Child<QWidget>(dialog, "hand")->grab().toImage() != handBefore);
    // The right end no longer reaches the oldest entry.
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(Shown(dialog), NumberAndRun("3", "1"));
  }

  // A key that cannot move the thumb any further is still a notification.
  void aKeyAtTheLeftEndAfterAnAppendShowsTheNewEntry() {
    const auto table = TableOf(2);
    CTenhouRecordDlg dialog(*table);
    auto* slider = Child<QSlider>(dialog, "slider");
    table->entries[2] = Entry(2);
    table->entryCount = 3;
    QCOMPARE(Text(dialog, "run"), QStringLiteral("1 局"));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(slider->value(), 0);
    QCOMPARE(Shown(dialog), NumberAndRun("1", "2"));
  }

  void anEmptyTableKeepsTheTemplateTextsUntilTheSliderIsUsed() {
    const auto table = TableOf(0);
    CTenhouRecordDlg dialog(*table);
    auto* slider = Child<QSlider>(dialog, "slider");
    QCOMPARE(Text(dialog, "number"), QStringLiteral("ログ番号"));
    slider->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(dialog.selectedIndex(), -1);
    QCOMPARE(Text(dialog, "number"), QStringLiteral("ログ番号"));
    table->entries[0] = Entry(0);
    table->entryCount = 1;
    QCOMPARE(Text(dialog, "number"), QStringLiteral("ログ番号"));
    // The slider was never set up for entries; wherever its thumb stands,
    // the one entry there is is shown.
    slider->triggerAction(QAbstractSlider::SliderToMaximum);
    QCOMPARE(dialog.selectedIndex(), 0);
    QCOMPARE(Text(dialog, "number"), QStringLiteral("1"));
  }

  void okEscapeAndTheCloseBoxJustClose() {
    const auto table = TableOf(2);
    for (int way = 0; way < 3; ++way) {
      CTenhouRecordDlg dialog(*table);
      dialog.show();
      if (way == 0) Child<QPushButton>(dialog, "ok")->click();
      if (way == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
      if (way == 2) dialog.close();
      QVERIFY(!dialog.isVisible());
      QCOMPARE(table->entryCount, 2);
    }
  }

  void handIsDrawnFromTheSheetInTextOrder() {
    auto table = TableOf(1);
    // Circles, bamboo, East x3, Red, then a piece naming no tile and a short tail.
    table->entries[0].handText = "1p2p9s\x93\x8c\x93\x8c\x93\x8c\x92\x86zz4m5m6m7m8m9";
    CTenhouRecordDlg dialog(*table);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    const QWidget* hand = Child<QWidget>(dialog, "hand");
    QImage shot = dialog.grab().toImage();
    // On a screen scaled by two the hand comes from the sheet drawn at 2x.
    const int scale = shot.devicePixelRatio() == 2.0 ? 2 : 1;
    shot.setDevicePixelRatio(1);
    const std::array<kestrum::TileCell, 14> expected = {{{0, 1}, {1, 1}, {8, 2}, {0, 3}, {0, 3}, {0, 3}, {6, 3},
                                                          {6, 3}, {3, 0}, {4, 0}, {5, 0}, {6, 0}, {7, 0}, {7, 0}}};
    for (int i = 0; i < 14; ++i) {
      const QImage drawn = shot.copy((hand->x() + 20 * i) * scale, hand->y() * scale, 20 * scale, 28 * scale)
                               .convertToFormat(QImage::Format_RGB32);
      const QImage cell = SheetCell(scale, expected[static_cast<std::size_t>(i)]);
      QVERIFY(!cell.isNull());
      QVERIFY2(drawn == cell, qPrintable(QString::number(i)));
    }
  }

  void aTextThatNamesNoTileStartsWithTileBacks() {
    const std::array<kestrum::TileCell, 14> cells = kestrum::HandCells("??1m");
    QCOMPARE(cells[0], kestrum::kTileBackCell);
    QCOMPARE(cells[1], (kestrum::TileCell{0, 0}));
    QCOMPARE(cells[13], (kestrum::TileCell{0, 0}));
    QCOMPARE(kestrum::HandCells("")[5], kestrum::kTileBackCell);
    QVERIFY(!kestrum::LookUpTileCell("00"));
    QVERIFY(!kestrum::LookUpTileCell("1"));
  }

  void bytesThatAreNotShiftJisShowAsReplacementCharacters() {
    auto table = TableOf(1);
    table->entries[0].startTime = "\x93\x56\x98\x61";  // 天和
    table->entries[0].endTime = std::string("A\xFF\x80", 3) + "\x93";  // bad bytes, cut-off lead byte
    table->entries[0].runText = std::string("<b>1</b>\0x", 10);
    CTenhouRecordDlg dialog(*table);
    QCOMPARE(Text(dialog, "start"), QStringLiteral("天和"));
    QCOMPARE(Text(dialog, "end"), QStringLiteral("A\uFFFD\uFFFD\uFFFD"));
    QVERIFY(Text(dialog, "run").startsWith(QStringLiteral("<b>1</b>")));
    QCOMPARE(Child<QLabel>(dialog, "run")->textFormat(), Qt::PlainText);
  }

  void aCountOutsideTheTableIsHeldToIt() {
    auto table = TableOf(2);
    table->entryCount = 5000;
    CTenhouRecordDlg dialog(*table);
    QCOMPARE(Child<QSlider>(dialog, "slider")->maximum(), 999);
    QCOMPARE(dialog.selectedIndex(), 999);
    table->entryCount = -4;
    Child<QSlider>(dialog, "slider")->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    QCOMPARE(dialog.selectedIndex(), 999);
  }
};

QTEST_MAIN(TenhouRecordDlgTest)
#include "TenhouRecordDlgTest.moc"
