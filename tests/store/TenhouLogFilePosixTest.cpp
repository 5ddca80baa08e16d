// What only POSIX lets a test do to the log: fill the disk at a chosen byte.

#include <gtest/gtest.h>

#include <csignal>

#include <sys/resource.h>

#include "TenhouLogFileFixture.h"

namespace kestrum {
namespace {

using testing::NumberedEntries;
using testing::ReadBytes;
using testing::WriteBytes;

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

}  // namespace
}  // namespace kestrum
