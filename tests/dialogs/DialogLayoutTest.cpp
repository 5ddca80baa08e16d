// What the four dialogs share: layout in dialog units of the Japanese dialog
// font, texts that fit, the tab order, the first focus and the default button.

#include <QFontInfo>
#include <QGroupBox>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QSlider>
#include <QTest>

#include <memory>
#include <utility>

#include "dialogs/AboutDlg.h"
#include "dialogs/DialogFont.h"
#include "dialogs/DialogUnits.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/SettingsDlg.h"
#include "dialogs/TenhouRecordDlg.h"
#include "engine/SimulationState.h"
#include "store/TenhouLogTable.h"
#include "tests/dialogs/DialogTestSupport.h"

using kestrum::DialogUnits;

class DialogLayoutTest : public QObject {
  Q_OBJECT

 private:
  kestrum::SimulationState state_;
  kestrum::TenhouLogTable table_;

  std::vector<std::unique_ptr<QDialog>> AllDialogs() {
    std::vector<std::unique_ptr<QDialog>> dialogs;
    dialogs.push_back(std::make_unique<CSettingsDlg>(kestrum::Settings{}));
    dialogs.push_back(std::make_unique<CRecordDlg>(state_));
    dialogs.push_back(std::make_unique<CTenhouRecordDlg>(table_));
    dialogs.push_back(std::make_unique<CAboutDlg>());
    return dialogs;
  }

 private Q_SLOTS:
  void initTestCase() {
    table_.entryCount = 1;
    table_.entries[0] = {"2001/03/04 09:05:03", "2001/03/04 21:47:10", "1m1m1m2m3m4m5m6m7m8m8m9m9m9m", "250", "600",
                         "2", "0.33333", "250", "350"};
    state_.totalCnt = 1234567890123;
    state_.tenhoCnt = 3;
  }

  void unitsRoundLikeTheDialogManager() {
    const DialogUnits units(7, 12);
    QCOMPARE(units.ToPixels(7, 7, 153, 45), QRect(12, 11, 268, 68));
    QCOMPARE(units.ToPixels(167, 231), QSize(292, 347));
    QCOMPARE(DialogUnits(6, 13).ToPixelsY(3), 5);  // 4.875 rounds up
    QCOMPARE(DialogUnits(6, 13).ToPixelsX(1), 2);  // 1.5 rounds away from zero
  }

  void handSitsWhereTheLayoutPutsItAndStaysCentredInOtherFonts() {
    QCOMPARE(TenhouHandOrigin(DialogUnits(7, 12)), QPoint(23, 220));
    const QPoint taller = TenhouHandOrigin(DialogUnits(7, 13));
    QCOMPARE(taller.x(), 23);
    QVERIFY(taller.y() >= DialogUnits(7, 13).ToPixelsY(130 + 8));  // below the last text row
    QVERIFY(taller.y() + 28 <= DialogUnits(7, 13).ToPixelsY(170));  // above the slider
  }

  void dialogsUseAJapaneseFontAtNinePoints() {
    const QString family = kestrum::DialogFontFamily();
    QVERIFY(family == QStringLiteral("ＭＳ Ｐゴシック") || family == QStringLiteral("IPAPGothic"));
    for (const auto& dialog : AllDialogs()) {
      QCOMPARE(QFontInfo(dialog->font()).family(), family);
      QCOMPARE(dialog->font().pointSize(), 9);
    }
  }

  void clientSizesComeFromTheTemplates() {
    const auto dialogs = AllDialogs();
    const DialogUnits units(dialogs.front()->font());
    const QSize sizes[] = {units.ToPixels(167, 231), units.ToPixels(151, 117), units.ToPixels(187, 207),
                           units.ToPixels(171, 93)};
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
      QCOMPARE(dialogs[i]->size(), sizes[i]);
      QCOMPARE(dialogs[i]->minimumSize(), dialogs[i]->maximumSize());  // not resizable
    }
    auto* ok = Child<QPushButton>(*dialogs[0], "ok");
    QCOMPARE(ok->geometry(), units.ToPixels(28, 210, 50, 14));
    auto* slider = Child<QSlider>(*dialogs[2], "slider");
    QCOMPARE(slider->geometry(), units.ToPixels(14, 170, 158, 26));
  }

  void noTextIsClipped() {
    for (const auto& dialog : AllDialogs()) {
      dialog->show();
      QVERIFY2(ClippedTexts(*dialog).isEmpty(),
               qPrintable(dialog->windowTitle() + QStringLiteral(": ") + ClippedTexts(*dialog).join(QStringLiteral(" | "))));
    }
  }

  // A lifetime count runs to nineteen digits; the record dialog shows the
  // longest ones whole, and still beside their captions, not over them.
  void longCountsFitTheRecordDialog() {
    kestrum::SimulationState state;
    state.totalCnt = 9223372036854775807;  // the largest count there is
    state.tenhoCnt = 12345678901234567;    // seventeen digits
    state.minTenhoCnt = 1000000000000000000;
    state.maxTenhoCnt = 8888888888888888888;
    CRecordDlg dialog(state);
    dialog.show();
    QVERIFY2(ClippedTexts(dialog).isEmpty(), qPrintable(ClippedTexts(dialog).join(QStringLiteral(" | "))));
    for (const char* name : {"total", "tenho", "shortest", "longest"}) {
      const QLabel* figure = Child<QLabel>(dialog, name);
      for (const QLabel* other : dialog.findChildren<QLabel*>()) {
        if (other == figure || other->geometry().top() != figure->geometry().top()) continue;
        QVERIFY2(!other->geometry().intersects(figure->geometry()), qPrintable(other->text()));
      }
    }
  }

  // A slider framed by a titled group box sits below the box's frame line,
  // so that its tick marks do not cross it.
  void slidersStayBelowTheirFrameLines() {
    CSettingsDlg dialog(kestrum::Settings{});
    dialog.show();
    for (const auto& [slider, box] : {std::pair{"speed", "speedBox"}, std::pair{"interval", "intervalBox"}}) {
      const QGroupBox* frame = Child<QGroupBox>(dialog, box);
      const int lineBottom = frame->y() + frame->contentsRect().top();
      QVERIFY2(Child<QSlider>(dialog, slider)->y() >= lineBottom, slider);
      QVERIFY(frame->geometry().contains(Child<QSlider>(dialog, slider)->geometry()));
    }
  }

  void tabOrderFocusAndDefaultButton() {
    const QList<QList<const char*>> expected = {
        {"ok", "speed", "sound", "logFile", "continueRun", "interval", "autoStart", "accumulation", "cancel"},
        {"ok", "clear"},
        {"ok", "slider"},
        {"ok", "homePage"},
    };
    const auto dialogs = AllDialogs();
    for (std::size_t i = 0; i < dialogs.size(); ++i) {
      QDialog& dialog = *dialogs[i];
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      auto* ok = Child<QPushButton>(dialog, "ok");
      QCOMPARE(dialog.focusWidget(), ok);
      QVERIFY(ok->isDefault());
      QStringList names;
      for (QWidget* widget : TabChain(dialog, ok)) names << widget->objectName();
      QStringList wanted;
      for (const char* name : expected[static_cast<qsizetype>(i)]) wanted << QLatin1String(name);
      QCOMPARE(names, wanted);
    }
  }
};

QTEST_MAIN(DialogLayoutTest)
#include "DialogLayoutTest.moc"
