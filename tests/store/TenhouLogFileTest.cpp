#include "store/TenhouLogFile.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "TenhouLogFileFixture.h"
#include "os/Files.h"

namespace kestrum {
namespace {

using testing::NumberedEntries;
using testing::ReadBytes;
using testing::WriteBytes;

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

// Another process holds the lock and never lets go (a stuck batch writing
// the same log, say): the append, which runs on the window's only thread,
// goes ahead after its short wait instead of freezing the program, with no
// wait at all as with a short one.
TEST_F(TenhouLogFileTest, ALockHeldElsewhereDelaysTheAppendButNeverStopsIt) {
  os::File holder = os::File::OpenToAppend(file_, true);
  ASSERT_TRUE(holder.TryLock());
  for (const int waitMs : {0, 50}) {
    log_.SetLockWait(std::chrono::milliseconds(waitMs));
    log_.AppendTenhouLog(WorkedState(), WorkedEnd());
    EXPECT_EQ(log_.LastAppendResult(), LogAppendResult::Written) << waitMs;
  }
  EXPECT_EQ(ReadBytes(file_), kWorkedEntry + kWorkedEntry);
  EXPECT_EQ(table_->entryCount, 2);
}

// A log whose last line was cut (another writer crashed, the disk filled):
// the entry starts on a line of its own and stays whole, whatever the cut
// line ends in, while the reader's rule still reads the file as damaged.
TEST_F(TenhouLogFileTest, AnEntryAfterACutLineStartsOnANewLine) {
  const std::string whole = NumberedEntries(1, 1);
  for (const std::string& cut : {std::string("[\x93\x56\x98\x61\x8A\x6D\x97\xA6] 0.39"), std::string("x\r")}) {
    WriteBytes(file_, whole + cut);
    log_.AppendTenhouLog(WorkedState(), WorkedEnd());
    EXPECT_EQ(ReadBytes(file_), whole + cut + "\r\n" + kWorkedEntry);
    EXPECT_EQ(FreshRead()->entryCount, 0);
  }
  // A file that ends with its line, with or without CR, gets nothing added.
  for (const std::string& end : {std::string("\r\n"), std::string("\n")}) {
    WriteBytes(file_, NumberedEntries(1, 1, end));
    log_.AppendTenhouLog(WorkedState(), WorkedEnd());
    EXPECT_EQ(ReadBytes(file_), NumberedEntries(1, 1, end) + kWorkedEntry);
  }
}

// A folder at the log's name is no log: nothing is read or written, and the
// reason is kept for the tools that explain a read.
TEST_F(TenhouLogFileTest, AFolderAtTheLogsNameIsNeitherReadNorWritten) {
  std::filesystem::create_directory(file_);
  log_.ReadTenhouLog();
  EXPECT_EQ(log_.LastReadReport().stop, LogReadStop::NoFile);
  EXPECT_EQ(log_.LastOpenProblem(), "it is not a regular file");
  log_.AppendTenhouLog(WorkedState(), WorkedEnd());
  EXPECT_EQ(log_.LastAppendResult(), LogAppendResult::NotOpened);
  EXPECT_TRUE(std::filesystem::is_directory(file_));
}

}  // namespace
}  // namespace kestrum
