#include "store/SettingsStore.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "engine/SimulationState.h"
#include "store/ProfileBackend.h"

namespace kestrum {
namespace {

// Remembers every call in order and answers from a map.
class RecordingProfile final : public ProfileBackend {
 public:
  std::string GetProfileString(std::string_view section, std::string_view entry,
                               std::string_view defaultText) override {
    reads.push_back(std::string(section) + "/" + std::string(entry) + "=" + std::string(defaultText));
    auto found = values.find(Key(section, entry));
    return found == values.end() ? std::string(defaultText) : found->second;
  }
  void WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) override {
    writes.push_back(std::string(section) + "/" + std::string(entry) + "=" + std::string(value));
    values[Key(section, entry)] = value;
  }
  bool Commit() override {
    ++commits;
    return commitSucceeds;
  }

  static std::string Key(std::string_view section, std::string_view entry) {
    return std::string(section) + "/" + std::string(entry);
  }

  std::map<std::string, std::string> values;
  std::vector<std::string> reads;
  std::vector<std::string> writes;
  int commits = 0;
  bool commitSucceeds = true;
};

const std::vector<std::string> kFirstRunRows = {
    "RECORD/TOTALCNT=0",   "RECORD/TENHOCNT=0",  "RECORD/MAXTENHOCNT=0",  "RECORD/MINTENHOCNT=0",
    "RECORD/ACCUMULATIONCNT=0", "SETTING/SPEED=500", "SETTING/INTERVAL=1", "SETTING/CONTINUE=0",
    "SETTING/LOGFILE=1",   "SETTING/SOUND=1",    "SETTING/AUTOSTART=0",   "SETTING/ACCUMULATION=1",
};

SimulationState StateUnlikeTheDefaults() {
  SimulationState state;
  state.totalCnt = state.tenhoCnt = state.maxTenhoCnt = state.minTenhoCnt = state.accumulationCnt = 99;
  state.speed = state.interval = 99;
  state.continueRun = state.autoStart = true;
  state.logFile = state.sound = state.accumulation = false;
  return state;
}

TEST(SettingsStoreTest, EmptyStoreLoadsEveryDefaultAndSavesThemInTableOrder) {
  RecordingProfile profile;
  SettingsStore store(profile);
  SimulationState state = StateUnlikeTheDefaults();
  store.LoadSettingsAndRecords(state);
  EXPECT_EQ(profile.reads, kFirstRunRows);  // each row asked with its own default, in order
  EXPECT_EQ(state.speed, 500);
  EXPECT_EQ(state.interval, 1);
  EXPECT_FALSE(state.continueRun);
  EXPECT_TRUE(state.logFile);
  EXPECT_TRUE(state.sound);
  EXPECT_FALSE(state.autoStart);
  EXPECT_TRUE(state.accumulation);
  EXPECT_EQ(state.totalCnt + state.tenhoCnt + state.maxTenhoCnt + state.minTenhoCnt + state.accumulationCnt, 0);

  store.SaveSettingsAndRecords(state);
  EXPECT_EQ(profile.writes, kFirstRunRows);
  EXPECT_EQ(profile.commits, 1);
}

TEST(SettingsStoreTest, StoredTextsLoadByTheLeadingNumberRules) {
  RecordingProfile profile;
  profile.values = {{"RECORD/TOTALCNT", "5000000000"}, {"RECORD/TENHOCNT", "  42abc"},
                    {"RECORD/MAXTENHOCNT", "letters"}, {"RECORD/MINTENHOCNT", ""},
                    {"SETTING/SPEED", "-20"},          {"SETTING/INTERVAL", "0"},
                    {"SETTING/SOUND", "2"},            {"SETTING/AUTOSTART", " 1"},
                    {"SETTING/LOGFILE", "-1"}};
  SettingsStore store(profile);
  SimulationState state;
  store.LoadSettingsAndRecords(state);
  EXPECT_EQ(state.totalCnt, 5000000000);
  EXPECT_EQ(state.tenhoCnt, 42);
  EXPECT_EQ(state.maxTenhoCnt, 0);
  EXPECT_EQ(state.minTenhoCnt, 0);
  EXPECT_EQ(state.speed, -20);  // no range check on load
  EXPECT_EQ(state.interval, 0);
  EXPECT_FALSE(state.sound);
  EXPECT_TRUE(state.autoStart);
  EXPECT_FALSE(state.logFile);

  store.SaveSettingsAndRecords(state);
  EXPECT_EQ(profile.values["RECORD/TOTALCNT"], "5000000000");
  EXPECT_EQ(profile.values["RECORD/TENHOCNT"], "42");
  EXPECT_EQ(profile.values["SETTING/SPEED"], "-20");
  EXPECT_EQ(profile.values["SETTING/SOUND"], "0");
  EXPECT_EQ(profile.values["SETTING/AUTOSTART"], "1");
}

TEST(SettingsStoreTest, FailedCommitIsKnownButWritesEveryValue) {
  RecordingProfile profile;
  profile.commitSucceeds = false;
  SettingsStore store(profile);
  store.SaveSettingsAndRecords(SimulationState{});
  EXPECT_FALSE(store.LastSaveSucceeded());
  EXPECT_EQ(profile.writes.size(), 12u);
  profile.commitSucceeds = true;
  store.SaveSettingsAndRecords(SimulationState{});
  EXPECT_TRUE(store.LastSaveSucceeded());
}

}  // namespace
}  // namespace kestrum
