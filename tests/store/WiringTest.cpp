// The run with the real store and log behind it: what it loads when it is
// made, what a heavenly hand leaves on disk, and what its end saves.

#include <gtest/gtest.h>

#include <QString>

#include <memory>

#include "TempDir.h"
#include "engine/SimulationRun.h"
#include "platform/QSettingsProfile.h"
#include "store/SettingsStore.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"
#include "store/TextForms.h"
#include "LogTestEntries.h"

namespace kestrum {
namespace {

using testing::NumberedEntries;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

class QuietHost final : public RunHost {
 public:
  void SetTimer(TimerId, int) override {}
  void KillTimer(TimerId) override {}
  void SetMainTitle(std::string_view) override {}
  void FlashMainWindow(bool) override {}
  void InvalidateView() override {}
  void PlayTenhouWave() override {}
  std::time_t Now() override { return now; }
  std::time_t now = 986000000;
};

class NoStatusBlock final : public StatusBlockPort {
 public:
  void Create() override {}
  void Write(std::string_view) override {}
  void Close() override {}
};

// Every game deals the thirteen orphans with a pair of red dragons.
void StackedDeck(Wall& wall, RandomSource&) {
  std::copy(kFixedStartHand.begin(), kFixedStartHand.end(), wall.begin());
}

class WiringTest : public ::testing::Test {
 protected:
  SimulationState StoredNow() {
    QSettingsProfile profile(QString::fromStdString(profileFile_.string()));
    SimulationState state;
    SettingsStore(profile).LoadSettingsAndRecords(state);
    return state;
  }

  TempDir dir_;
  std::filesystem::path profileFile_ = dir_ / "kestrum.conf";
  std::filesystem::path logFile_ = dir_ / "tenholog.txt";
  QuietHost host_;
  NoStatusBlock statusBlock_;
  std::unique_ptr<TenhouLogTable> table_ = std::make_unique<TenhouLogTable>();
};

TEST_F(WiringTest, RunLoadsAtConstructionLogsAndSavesAHeavenlyHandAndSavesAtTheEnd) {
  WriteBytes(profileFile_, "[RECORD]\nTOTALCNT=600\nTENHOCNT=2\nACCUMULATIONCNT=41\n[SETTING]\nSPEED=123\n");
  WriteBytes(logFile_, NumberedEntries(1, 2));
  QSettingsProfile profile(QString::fromStdString(profileFile_.string()));
  SettingsStore store(profile);
  TenhouLogFile log(*table_, logFile_);
  {
    SimulationRun run({host_, statusBlock_, log, store}, StackedDeck);
    EXPECT_EQ(table_->entryCount, 2);
    EXPECT_EQ(run.State().speed, 123);
    EXPECT_EQ(run.State().sinceCnt, 41);  // carried over with accumulation on by default

    run.StartRun();
    run.PlayOneGame();
    // Right after the heavenly hand the entry and the new records are on disk.
    EXPECT_EQ(table_->entryCount, 3);
    EXPECT_EQ(table_->entries[2].runText, "42");
    EXPECT_EQ(table_->entries[2].totalText, "601");
    const SimulationState stored = StoredNow();
    EXPECT_EQ(stored.totalCnt, 601);
    EXPECT_EQ(stored.tenhoCnt, 3);
    EXPECT_EQ(stored.minTenhoCnt, 42);
    EXPECT_EQ(stored.accumulationCnt, 0);  // a kill now cannot carry the finished run on

    Settings settings = SettingsOf(run.State());
    settings.speed = 700;
    run.AcceptSettings(settings);
    EXPECT_EQ(StoredNow().speed, 123);
  }
  const SimulationState stored = StoredNow();
  EXPECT_EQ(stored.speed, 700);
  EXPECT_EQ(stored.accumulationCnt, 0);
  auto fresh = std::make_unique<TenhouLogTable>();
  TenhouLogFile(*fresh, logFile_).ReadTenhouLog();
  ASSERT_EQ(fresh->entryCount, 3);
  EXPECT_EQ(fresh->entries[2], table_->entries[2]);
}

}  // namespace
}  // namespace kestrum
