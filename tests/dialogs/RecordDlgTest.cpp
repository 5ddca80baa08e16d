// The record dialog: the figures it shows, and its clear, which reaches the
// records and the settings file only through OK.

#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "dialogs/RecordDlg.h"
#include "engine/SimulationRun.h"
#include "engine/SimulationState.h"
#include "platform/QSettingsProfile.h"
#include "store/SettingsStore.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"
#include "tests/dialogs/DialogTestSupport.h"

namespace {

const char* const kFigures[] = {"total", "tenho", "probability", "shortest", "longest"};

QStringList Figures(CRecordDlg& dialog) {
  QStringList texts;
  for (const char* name : kFigures) texts << Child<QLabel>(dialog, name)->text();
  return texts;
}

// Runs the dialog the way the view does, with `user` acting inside its loop.
int RunModally(QDialog& dialog, std::function<void()> user) {
  QTimer::singleShot(0, &dialog, std::move(user));
  return dialog.exec();
}

class QuietHost final : public kestrum::RunHost {
 public:
  void SetTimer(kestrum::TimerId, int) override {}
  void KillTimer(kestrum::TimerId) override {}
  void SetMainTitle(std::string_view) override {}
  void FlashMainWindow(bool) override {}
  void InvalidateView() override {}
  void PlayTenhouWave() override {}
  std::time_t Now() override { return 1000000000; }
};

class NoStatusBlock final : public kestrum::StatusBlockPort {
 public:
  void Create() override {}
  void Write(std::string_view) override {}
  void Close() override {}
};

// A run over a real settings file in a private folder, started with known
// records.
struct StoredRun {
  QTemporaryDir folder;
  QString file = folder.filePath(QStringLiteral("kestrum.conf"));
  QuietHost host;
  NoStatusBlock block;
  kestrum::TenhouLogTable table;
  kestrum::TenhouLogFile log{table, folder.filePath(QStringLiteral("tenholog.txt")).toStdString()};
  kestrum::QSettingsProfile profile{file};
  kestrum::SettingsStore store{profile};
  std::unique_ptr<kestrum::SimulationRun> run;

  StoredRun() {
    kestrum::QSettingsProfile seed(file);
    seed.WriteProfileString("RECORD", "TOTALCNT", "330000");
    seed.WriteProfileString("RECORD", "TENHOCNT", "1");
    seed.WriteProfileString("RECORD", "MINTENHOCNT", "1000");
    seed.WriteProfileString("RECORD", "MAXTENHOCNT", "200000");
    seed.WriteProfileString("RECORD", "ACCUMULATIONCNT", "77");
    seed.WriteProfileString("SETTING", "ACCUMULATION", "1");
    seed.Commit();
    run = std::make_unique<kestrum::SimulationRun>(kestrum::RunPorts{host, block, log, store});
  }

  std::string Stored(const char* entry) {
    kestrum::QSettingsProfile reader(file);
    return reader.GetProfileString("RECORD", entry, "missing");
  }

  // The view's record command.
  void RecordCommand(std::function<void(CRecordDlg&)> user) {
    CRecordDlg dialog(run->State());
    if (RunModally(dialog, [&] { user(dialog); }) == QDialog::Accepted && dialog.cleared()) run->ClearRecords();
  }
};

}  // namespace

class RecordDlgTest : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void freshRecordsShowZerosAndAPointedZero() {
    const kestrum::SimulationState state;
    CRecordDlg dialog(state);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("記録"));
    QCOMPARE(Figures(dialog), QStringList({"0", "0", "0.", "0", "0"}));
    QCOMPARE(Child<QPushButton>(dialog, "clear")->text(), QStringLiteral("記録のクリア(&R)"));
    QVERIFY(!dialog.cleared());
  }

  void figuresArePlainDecimalAndFiveDigitPercent() {
    kestrum::SimulationState state;
    state.totalCnt = 330000;
    state.tenhoCnt = 1;
    state.minTenhoCnt = 1000;
    state.maxTenhoCnt = 9223372036854775807;
    CRecordDlg dialog(state);
    QCOMPARE(Figures(dialog), QStringList({"330000", "1", "3.0303e-004", "1000", "9223372036854775807"}));
    state.totalCnt = 3;
    state.tenhoCnt = 3;
    CRecordDlg all(state);
    QCOMPARE(Child<QLabel>(all, "probability")->text(), QStringLiteral("100."));
  }

  void clearShowsZerosAndIsForgottenWithoutOk() {
    StoredRun stored;
    stored.RecordCommand([](CRecordDlg& dialog) {
      Child<QPushButton>(dialog, "clear")->click();
      QCOMPARE(Figures(dialog), QStringList({"0", "0", "0", "0", "0"}));
      QVERIFY(dialog.cleared());
      QVERIFY(dialog.isVisible());  // no confirmation, the dialog stays
      QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    stored.RecordCommand([](CRecordDlg& dialog) {
      Child<QPushButton>(dialog, "clear")->click();
      dialog.close();
    });
    QCOMPARE(stored.run->State().tenhoCnt, 1);
    QCOMPARE(stored.Stored("TENHOCNT"), "1");
    QCOMPARE(stored.Stored("TOTALCNT"), "330000");
  }

  void clearWithOkEmptiesTheRecordsAndSavesAtOnce() {
    StoredRun stored;
    const kestrum::Count64 runSoFar = stored.run->State().sinceCnt;
    stored.RecordCommand([](CRecordDlg& dialog) {
      QTest::keyClick(&dialog, Qt::Key_R);  // the mnemonic, no Alt needed on a button
      QVERIFY(dialog.cleared());
      QTest::keyClick(&dialog, Qt::Key_Return);
    });
    QCOMPARE(stored.Stored("TOTALCNT"), std::to_string(runSoFar));
    QCOMPARE(stored.Stored("TENHOCNT"), "0");
    QCOMPARE(stored.Stored("MINTENHOCNT"), "0");
    QCOMPARE(stored.Stored("MAXTENHOCNT"), "0");
    CRecordDlg reopened(stored.run->State());
    QCOMPARE(Figures(reopened), QStringList({QString::number(runSoFar), "0", "0.", "0", "0"}));
  }

  void okWithoutClearChangesNothing() {
    StoredRun stored;
    stored.RecordCommand([](CRecordDlg& dialog) { Child<QPushButton>(dialog, "ok")->click(); });
    QCOMPARE(stored.run->State().totalCnt, 330000);
    QCOMPARE(stored.Stored("MAXTENHOCNT"), "200000");
  }
};

QTEST_MAIN(RecordDlgTest)
#include "RecordDlgTest.moc"
