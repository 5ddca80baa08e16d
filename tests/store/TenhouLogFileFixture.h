#pragma once
// A log file in a private folder with the entry of one worked run, for the
// tests of the log file on every system and of what only POSIX can do to it.

#include <gtest/gtest.h>

#include <ctime>
#include <memory>
#include <string>

#include "LogTestEntries.h"
#include "TempDir.h"
#include "engine/SimulationState.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

namespace kestrum {


// The entry of a run that began at 09:05:03 and ended at 21:47:10 on
// 4 March 2001 after 250 games, the second heavenly hand in 600 games.
inline const std::string kWorkedEntry =
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
    testing::SetTimeZone("JST-9");
  }

  SimulationState WorkedState() {
    SimulationState state;
    state.tileNames = TileNames();
    state.hand = {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 8, 9, 9, 9};
    state.startHeader = log_.StartHeaderAt(testing::LocalTime(2001, 3, 4, 9, 5, 3));
    state.sinceCnt = 250;
    state.totalCnt = 600;
    state.tenhoCnt = 2;
    state.minTenhoCnt = 250;
    state.maxTenhoCnt = 350;
    return state;
  }
  std::time_t WorkedEnd() { return testing::LocalTime(2001, 3, 4, 21, 47, 10); }

  // What a fresh read of the file gives.
  std::unique_ptr<TenhouLogTable> FreshRead() {
    auto table = std::make_unique<TenhouLogTable>();
    TenhouLogFile(*table, file_).ReadTenhouLog();
    return table;
  }

  testing::TempDir dir_;
  std::filesystem::path file_ = dir_ / "tenholog.txt";
  std::unique_ptr<TenhouLogTable> table_ = std::make_unique<TenhouLogTable>();
  TenhouLogFile log_{*table_, file_};
};

}  // namespace kestrum
