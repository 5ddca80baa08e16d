#include "store/TenhouLogFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <memory>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "LogTestEntries.h"
#include "TempDir.h"
#include "engine/SimulationState.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

namespace kestrum {
namespace {

using testing::LocalTime;
using testing::NumberedEntries;
using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

// The entry of a run that began at 09:05:03 and ended at 21:47:10 on
// 4 March 2001 after 250 games, the second heavenly hand in 600 games.
const std::string kWorkedEntry =
    "===== \x8A\x4A\x8E\x6E 2001/03/04 09:05:03 =====\r\n"
    "* 1m1m1m2m3m4m5m6m7m8m8m9m9m9m\r\n"
    "+ 250\r\n"
    "[\x91\x8D\x8B\xC7\x90\x94] 600\r\n"
    "[\x93\x56\x98\x61\x89\xF1\x90\x94] 2\r\n"
    "[\x93\x56\x98\x61\x8A\x6D\x97\xA6] 0.33333\r\n"
    "[\x8D\xC5\x92\x5A\x8B\xC7\x90\x94] 250\r\n"
    "[\x8D\xC5\x92\xB7\x8B\xC7\x90\x94] 350\r\n"
    "----- \x8F\x49\x97\xB9 2001/03/04 21:47:10 -----\r\n"
    "\r\n";

class TenhouLogFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    // A zone of its own, so that local time is seen to be used.
    ::setenv("TZ", "JST-9", 1);
    ::tzset();
  }

  SimulationState WorkedState() {
    SimulationState state;
    state.tileNames = TileNames();
    state.hand = {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 8, 9, 9, 9};
    state.startHeader = log_.StartHeaderAt(LocalTime(2001, 3, 4, 9, 5, 3));
    state.sinceCnt = 250;
    state.totalCnt = 600;
    state.tenhoCnt = 2;
    state.minTenhoCnt = 250;
    state.maxTenhoCnt = 350;
    return state;
  }
  std::time_t WorkedEnd() { return LocalTime(2001, 3, 4, 21, 47, 10); }

  // What a fresh read of the file gives.
  std::unique_ptr<TenhouLogTable> FreshRead() {
    auto table = std::make_unique<TenhouLogTable>();
    TenhouLogFile(*table, file_).ReadTenhouLog();
    return table;
  }

  TempDir dir_;
  std::filesystem::path file_ = dir_ / "tenholog.txt";
  std::unique_ptr<TenhouLogTable> table_ = std::make_unique<TenhouLogTable>();
  TenhouLogFile log_{*table_, file_};
};

TEST_F(TenhouLogFileTest, StartHeaderIsLocalTime) {
  EXPECT_EQ(log_.StartHeaderAt(0), "===== \x8A\x4A\x8E\x6E 1970/01/01 09:00:00 =====\n");
}

TEST_F(TenhouLogFileTest, FirstHeavenlyHandCreatesTheFileWithTheEntryByteForByte) {
  log_.ReadTenhouLog();
  EXPECT_EQ(log_.LastReadReport().stop, LogReadStop::NoFile);
  EXPECT_EQ(table_->entryCount, 0);

  log_.AppendTenhouLog(WorkedState(), WorkedEnd());
  EXPECT_EQ(log_.LastAppendResult(), LogAppendResult::Written);
  EXPECT_EQ(ReadBytes(file_), kWorkedEntry);
  ASSERT_EQ(table_->entryCount, 1);
  EXPECT_EQ(table_->entries[0].handText, "1m1m1m2m3m4m5m6m7m8m8m9m9m9m");
  EXPECT_EQ(table_->entries[0].probabilityText, "0.33333");
  EXPECT_EQ(FreshRead()->entries[0], table_->entries[0]);
}

TEST_F(TenhouLogFileTest, AppendedEntriesMatchAFreshReadAndFollowTheFilesEntries) {
  WriteBytes(file_, NumberedEntries(1, 3));
  log_.ReadTenhouLog();
  ASSERT_EQ(table_->entryCount, 3);
  SimulationState state = WorkedState();
  state.tileNames = TileNames();
  state.hand = {28, 28, 28, 29, 29, 29, 30, 30, 30, 31, 31, 34, 34, 34};
  state.totalCnt = 0;  // a percentage without games is 0
  log_.AppendTenhouLog(state, WorkedEnd());
  state.totalCnt = 3;
  state.tenhoCnt = 3;
  log_.AppendTenhouLog(state, WorkedEnd());
  ASSERT_EQ(table_->entryCount, 5);
  EXPECT_EQ(table_->entries[3].probabilityText, "0.");
  EXPECT_EQ(table_->entries[4].probabilityText, "100.");
  EXPECT_EQ(table_->entries[4].handText.size(), 28u);
  const auto fresh = FreshRead();
  ASSERT_EQ(fresh->entryCount, 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(fresh->entries[i], table_->entries[i]) << i;
}

TEST_F(TenhouLogFileTest, FullTableStillLogsToTheFile) {
  WriteBytes(file_, NumberedEntries(1, 1000));
  log_.ReadTenhouLog();
  ASSERT_EQ(table_->entryCount, 1000);
  const TenhouLogEntry last = table_->entries[999];
  log_.AppendTenhouLog(WorkedState(), WorkedEnd());
  EXPECT_EQ(log_.LastAppendResult(), LogAppendResult::Written);
  EXPECT_EQ(table_->entryCount, 1000);
  EXPECT_EQ(table_->entries[999], last);
  const std::string bytes = ReadBytes(file_);
  EXPECT_EQ(bytes.substr(bytes.size() - kWorkedEntry.size()), kWorkedEntry);
}

// A damaged log is never touched; while the damage stays, the table holds
// only what this process appends, from slot 0.
TEST_F(TenhouLogFileTest, DamagedFileIsLeftAsItIs) {
  const std::string damaged = NumberedEntries(1, 2) + "half an entry\r\n";
  WriteBytes(file_, damaged);
  log_.ReadTenhouLog();
  EXPECT_EQ(log_.LastReadReport().stop, LogReadStop::EntryCutShort);
  EXPECT_EQ(table_->entryCount, 0);
  log_.AppendTenhouLog(WorkedState(), WorkedEnd());
  EXPECT_EQ(table_->entryCount, 1);
  EXPECT_EQ(ReadBytes(file_), damaged + kWorkedEntry);
}

TEST_F(TenhouLogFileTest, EntryWithoutItsStartStampStaysReadable) {
  SimulationState state = WorkedState();
  state.startHeader.clear();
  state.hand[3] = 77;  // no such tile
  log_.AppendTenhouLog(state, WorkedEnd());
  const auto fresh = FreshRead();
  ASSERT_EQ(fresh->entryCount, 1);
  EXPECT_EQ(fresh->entries[0].startTime, "2001/03/04 21:47:10");
  EXPECT_EQ(fresh->entries[0].handText, "1m1m1m003m4m5m6m7m8m8m9m9m9m");
}

TEST_F(TenhouLogFileTest, UnopenableFileLeavesNoEntry) {
  TenhouLogFile nowhere(*table_, dir_ / "missing-directory" / "tenholog.txt");
  nowhere.AppendTenhouLog(WorkedState(), WorkedEnd());
  EXPECT_EQ(nowhere.LastAppendResult(), LogAppendResult::NotOpened);
  EXPECT_EQ(table_->entryCount, 0);
}

// A disk that fills up during the write: the entry is not counted as logged,
// and the file keeps no torn piece of it that would spoil every later read.
TEST_F(TenhouLogFileTest, WriteThatDoesNotFitLeavesTheFileAsItWas) {
  const std::string before = NumberedEntries(1, 2);
  WriteBytes(file_, before);
  log_.ReadTenhouLog();
  {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    rlimit nearlyFull = saved;
    nearlyFull.rlim_cur = before.size() + 100;
    ::setrlimit(RLIMIT_FSIZE, &nearlyFull);
    log_.AppendTenhouLog(WorkedState(), WorkedEnd());
    ::setrlimit(RLIMIT_FSIZE, &saved);
  }
  EXPECT_EQ(log_.LastAppendResult(), LogAppendResult::WriteFailed);
  EXPECT_EQ(table_->entryCount, 2);
  EXPECT_EQ(ReadBytes(file_), before);
}

// Another process holds the lock and never lets go (a stuck batch writing
// the same log, say): the append, which runs on the window's only thread,
// goes ahead after its short wait instead of freezing the program, with no
// wait at all as with a short one.
TEST_F(TenhouLogFileTest, ALockHeldElsewhereDelaysTheAppendButNeverStopsIt) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    const int fd = ::open(file_.c_str(), O_WRONLY | O_CREAT, 0644);
    const char ok = fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');
  for (const int waitMs : {0, 50}) {
    log_.SetLockWait(std::chrono::milliseconds(waitMs));
    log_.AppendTenhouLog(WorkedState(), WorkedEnd());
    EXPECT_EQ(log_.LastAppendResult(), LogAppendResult::Written) << waitMs;
  }
  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(ready[0]);
  ::close(ready[1]);
  EXPECT_EQ(ReadBytes(file_), kWorkedEntry + kWorkedEntry);
  EXPECT_EQ(table_->entryCount, 2);
}

}  // namespace
}  // namespace kestrum
