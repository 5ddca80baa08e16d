// The settings dialog: what its sliders and boxes give back on OK, and that
// every way of cancelling gives back nothing.

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTest>

#include "dialogs/SettingsDlg.h"
#include "engine/SimulationState.h"
#include "tests/dialogs/DialogTestSupport.h"

using kestrum::Settings;

namespace {

bool SameSettings(const Settings& a, const Settings& b) {
  return a.speed == b.speed && a.interval == b.interval && a.continueRun == b.continueRun && a.logFile == b.logFile &&
         a.sound == b.sound && a.autoStart == b.autoStart && a.accumulation == b.accumulation;
}

Settings Sample() {
  Settings settings;
  settings.speed = 300;
  settings.interval = 100;
  settings.continueRun = true;
  settings.logFile = false;
  settings.sound = true;
  settings.autoStart = false;
  settings.accumulation = true;
  return settings;
}

// Moves both sliders and flips every box, as a user would before changing
// their mind.
void ChangeEverything(CSettingsDlg& dialog) {
  Child<QSlider>(dialog, "speed")->setValue(10);
  Child<QSlider>(dialog, "interval")->setValue(5);
  for (const char* name : {"sound", "logFile", "continueRun", "autoStart", "accumulation"}) {
    Child<QCheckBox>(dialog, name)->click();
  }
}

}  // namespace

class SettingsDlgTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void controlsShowTheCopyMadeAtOpening() {
    CSettingsDlg dialog(Sample());
    QCOMPARE(dialog.windowTitle(), QStringLiteral("設定"));
    QCOMPARE(Child<QSlider>(dialog, "speed")->value(), 300);
    QCOMPARE(Child<QSlider>(dialog, "interval")->value(), 3);
    QCOMPARE(Child<QLabel>(dialog, "intervalValue")->text(), QStringLiteral("100"));
    QVERIFY(Child<QCheckBox>(dialog, "continueRun")->isChecked());
    QVERIFY(!Child<QCheckBox>(dialog, "logFile")->isChecked());
    QCOMPARE(Child<QCheckBox>(dialog, "autoStart")->text(), QStringLiteral("起動時に自動的にシミュレーションを開始する"));
    QCOMPARE(Child<QPushButton>(dialog, "cancel")->text(), QStringLiteral("キャンセル"));
  }

  void slidersHaveTheirRangesAndSteps() {
    CSettingsDlg dialog(Settings{});
    auto* speed = Child<QSlider>(dialog, "speed");
    QCOMPARE(speed->minimum(), 10);
    QCOMPARE(speed->maximum(), 1000);
    QCOMPARE(speed->singleStep(), 40);
    QCOMPARE(speed->pageStep(), 10);
    QCOMPARE(speed->tickPosition(), QSlider::NoTicks);
    auto* interval = Child<QSlider>(dialog, "interval");
    QCOMPARE(interval->maximum(), 5);
    QCOMPARE(interval->tickPosition(), QSlider::TicksAbove);
    QCOMPARE(interval->tickInterval(), 1);
    // The keys step as on the old trackbar: Right and Page Down towards the
    // slow end, Up and Page Up back.
    speed->setFocus();
    QTest::keyClick(speed, Qt::Key_Right);
    QCOMPARE(speed->value(), 540);
    QTest::keyClick(speed, Qt::Key_PageDown);
    QCOMPARE(speed->value(), 550);
    QTest::keyClick(speed, Qt::Key_Up);
    QCOMPARE(speed->value(), 510);
    QTest::keyClick(speed, Qt::Key_PageUp);
    QCOMPARE(speed->value(), 500);
    QTest::keyClick(speed, Qt::Key_End);
    QCOMPARE(speed->value(), 1000);
  }

  void speedEndsGiveTenAndThousandMilliseconds() {
    for (const int end : {10, 1000}) {
      CSettingsDlg dialog(Settings{});
      Child<QSlider>(dialog, "speed")->setValue(end);
      Child<QPushButton>(dialog, "ok")->click();
      QCOMPARE(dialog.result(), int(QDialog::Accepted));
      QCOMPARE(dialog.settings().speed, end);
    }
  }

  void intervalPositionsGiveZeroAndPowersOfTen() {
    const std::int32_t expected[] = {0, 1, 10, 100, 1000, 10000};
    CSettingsDlg dialog(Settings{});
    auto* slider = Child<QSlider>(dialog, "interval");
    // Walk from the right end to the left so that every position is a move.
    for (int position = 5; position >= 0; --position) {
      slider->setValue(position);
      QCOMPARE(Child<QLabel>(dialog, "intervalValue")->text(), QString::number(expected[position]));
    }
    slider->setValue(4);
    dialog.accept();
    QCOMPARE(dialog.settings().interval, 1000);
  }

  void okReadsEveryControlBack() {
    CSettingsDlg dialog(Sample());
    dialog.show();
    ChangeEverything(dialog);
    QTest::keyClick(Child<QCheckBox>(dialog, "accumulation"), Qt::Key_Return);  // the default button
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    const Settings got = dialog.settings();
    QCOMPARE(got.speed, 10);
    QCOMPARE(got.interval, 10000);
    QCOMPARE(got.continueRun, false);
    QCOMPARE(got.logFile, true);
    QCOMPARE(got.sound, false);
    QCOMPARE(got.autoStart, true);
    QCOMPARE(got.accumulation, false);
  }

  void okWithoutChangesGivesTheCopyBack() {
    CSettingsDlg dialog(Sample());
    dialog.accept();
    QVERIFY(SameSettings(dialog.settings(), Sample()));
  }

  void cancelButtonEscapeAndCloseBoxChangeNothing() {
    for (int way = 0; way < 3; ++way) {
      CSettingsDlg dialog(Sample());
      dialog.show();
      ChangeEverything(dialog);
      if (way == 0) Child<QPushButton>(dialog, "cancel")->click();
      if (way == 1) QTest::keyClick(&dialog, Qt::Key_Escape);
      if (way == 2) dialog.close();
      QCOMPARE(dialog.result(), int(QDialog::Rejected));
      QVERIFY(SameSettings(dialog.settings(), Sample()));
    }
  }

  void storedValuesTheDialogNeverWritesAreShownSafely() {
    Settings odd;
    odd.speed = 5000;
    odd.interval = 100000;
    CSettingsDlg far(odd);
    QCOMPARE(Child<QSlider>(far, "interval")->value(), 5);
    QCOMPARE(Child<QLabel>(far, "intervalValue")->text(), QStringLiteral("100000"));
    far.accept();
    QCOMPARE(far.settings().speed, 1000);  // the nearer end of the slider
    QCOMPARE(far.settings().interval, 100000);  // kept until the slider moves

    odd.speed = -7;
    odd.interval = -3;
    CSettingsDlg negative(odd);
    QCOMPARE(Child<QSlider>(negative, "interval")->value(), 0);
    QCOMPARE(Child<QLabel>(negative, "intervalValue")->text(), QStringLiteral("-3"));
    Child<QSlider>(negative, "interval")->setValue(1);
    negative.accept();
    QCOMPARE(negative.settings().speed, 10);
    QCOMPARE(negative.settings().interval, 1);
  }
};

QTEST_MAIN(SettingsDlgTest)
#include "SettingsDlgTest.moc"
