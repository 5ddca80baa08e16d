#include "platform/QSettingsProfile.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QString>

#include <csignal>
#include <string>

#include <sys/resource.h>
#include <unistd.h>

#include "TempDir.h"
#include "tests/OrdinaryUser.h"
#include "engine/SimulationState.h"
#include "store/ProfileText.h"
#include "store/SettingsStore.h"

namespace kestrum {
namespace {

using testing::ReadBytes;
using testing::TempDir;
using testing::WriteBytes;

QString QPath(const std::filesystem::path& path) { return QString::fromStdString(path.string()); }

SimulationState SavedRecords() {
  SimulationState state;
  state.totalCnt = 5000000000;
  state.tenhoCnt = 3;
  state.maxTenhoCnt = 350;
  state.minTenhoCnt = 250;
  state.accumulationCnt = 41;
  state.speed = 10;
  state.interval = 100;
  state.continueRun = true;
  state.logFile = false;
  state.sound = true;
  state.autoStart = true;
  state.accumulation = false;
  return state;
}

void ExpectSameStoredValues(const SimulationState& a, const SimulationState& b) {
  EXPECT_EQ(a.totalCnt, b.totalCnt);
  EXPECT_EQ(a.tenhoCnt, b.tenhoCnt);
  EXPECT_EQ(a.maxTenhoCnt, b.maxTenhoCnt);
  EXPECT_EQ(a.minTenhoCnt, b.minTenhoCnt);
  EXPECT_EQ(a.accumulationCnt, b.accumulationCnt);
  EXPECT_EQ(a.speed, b.speed);
  EXPECT_EQ(a.interval, b.interval);
  EXPECT_EQ(a.continueRun, b.continueRun);
  EXPECT_EQ(a.logFile, b.logFile);
  EXPECT_EQ(a.sound, b.sound);
  EXPECT_EQ(a.autoStart, b.autoStart);
  EXPECT_EQ(a.accumulation, b.accumulation);
}

SimulationState LoadFrom(const std::filesystem::path& file) {
  QSettingsProfile profile(QPath(file));
  SimulationState state;
  SettingsStore(profile).LoadSettingsAndRecords(state);
  return state;
}

bool SaveTo(const std::filesystem::path& file, const SimulationState& state) {
  QSettingsProfile profile(QPath(file));
  SettingsStore store(profile);
  store.SaveSettingsAndRecords(state);
  return store.LastSaveSucceeded();
}

// Lets the process write files of at most limit bytes, as a nearly full
// disk would; works for every user, root included.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    std::signal(SIGXFSZ, SIG_IGN);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit lowered = saved_;
    lowered.rlim_cur = limit;
    ::setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &saved_); }

 private:
  rlimit saved_{};
};

TEST(QSettingsProfileTest, SavedValuesAreStringsInTwoGroupsAndReadBack) {
  TempDir dir;
  const auto file = dir / "kestrum.conf";
  ASSERT_TRUE(SaveTo(file, SavedRecords()));
  const std::string text = ReadBytes(file);
  EXPECT_NE(text.find("[RECORD]\nACCUMULATIONCNT=41\nMAXTENHOCNT=350\nMINTENHOCNT=250\nTENHOCNT=3\nTOTALCNT=5000000000\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("[SETTING]\nACCUMULATION=0\nAUTOSTART=1\nCONTINUE=1\nINTERVAL=100\nLOGFILE=0\nSOUND=1\nSPEED=10\n"),
            std::string::npos)
      << text;
  ExpectSameStoredValues(LoadFrom(file), SavedRecords());
}

// The store's own text against QSettings' INI writer, which made every
// existing file: the same values give the same bytes, and its file reads
// back as the values it was given.
TEST(QSettingsProfileTest, OwnFormatWritesWhatTheIniWriterWroteByteForByte) {
  TempDir dir;
  const auto file = dir / "qt.conf";
  const std::vector<std::pair<std::string, std::string>> values = {
      {"RECORD/TOTALCNT", "5000000000"}, {"RECORD/TENHOCNT", "3"},    {"RECORD/MAXTENHOCNT", "350"},
      {"RECORD/MINTENHOCNT", "0"},       {"SETTING/SPEED", "500"},    {"SETTING/CONTINUE", "1"},
      {"SETTING/NOTE", "a;b, c=d"},      {"SETTING/QUOTE", "\"q\"\\"}, {"SETTING/EDGE", " x "},
      {"SETTING/AT", "@Variant(1)"},     {"SETTING/CTRL", std::string("\x01" "7\t\0" "1f", 7)},
      {"SETTING/JP", "\xE5\xA4\xA9\xE5\x92\x8C"}, {"TOP", "1"}, {"Other Group/KEY.x-y_z", "v"},
  };
  ProfileEntries entries;
  {
    QSettings qt(QPath(file), QSettings::IniFormat);
    for (const auto& [key, value] : values) {
      qt.setValue(QString::fromStdString(key), QString::fromStdString(value));
      entries[key] = value;
    }
  }
  const std::string written = ReadBytes(file);
  EXPECT_EQ(ProfileTextOf(entries), written);
  EXPECT_EQ(ParseProfileText(written), entries);
}

TEST(QSettingsProfileTest, HandEditedValuesLoadByTheLeadingNumberRules) {
  TempDir dir;
  const auto file = dir / "kestrum.conf";
  WriteBytes(file,
             "[RECORD]\nTOTALCNT=  42abc\nTENHOCNT=\"  7\"\nMAXTENHOCNT=12, 13\nMINTENHOCNT=@Variant(\\0\\0\\0\\x7f)\n"
             "[SETTING]\nSOUND=2\nAUTOSTART= 1\nSPEED=letters\nOTHER=kept\n"
             // A variant decoder would ask for 62 GB here.
             "LOGFILE=@Variant(\\0\\0\\0\\ttttx7f)\n");
  const SimulationState state = LoadFrom(file);
  EXPECT_EQ(state.totalCnt, 42);
  EXPECT_EQ(state.tenhoCnt, 7);
  EXPECT_EQ(state.maxTenhoCnt, 12);
  EXPECT_EQ(state.minTenhoCnt, 0);
  EXPECT_FALSE(state.sound);
  EXPECT_TRUE(state.autoStart);
  EXPECT_EQ(state.speed, 0);
  EXPECT_TRUE(state.logFile);  // missing: its default

  ASSERT_TRUE(SaveTo(file, state));
  EXPECT_NE(ReadBytes(file).find("OTHER=kept"), std::string::npos);
}

TEST(QSettingsProfileTest, DamagedFileGivesDefaultsAndCanBeSavedOver) {
  TempDir dir;
  const auto file = dir / "kestrum.conf";
  WriteBytes(file, std::string("\xFF\xFE\0[[\n=\n[RECORD\nTOTALCNT\n\x80\x81\x82", 24));
  const SimulationState state = LoadFrom(file);
  EXPECT_EQ(state.totalCnt, 0);
  EXPECT_EQ(state.speed, 500);
  EXPECT_TRUE(SaveTo(file, SavedRecords()));
  ExpectSameStoredValues(LoadFrom(file), SavedRecords());
}

TEST(QSettingsProfileTest, FailedSaveLeavesTheOldFileAsItWas) {
  TempDir dir;
  const auto file = dir / "kestrum.conf";
  ASSERT_TRUE(SaveTo(file, SavedRecords()));
  const std::string before = ReadBytes(file);
  SimulationState changed = SavedRecords();
  changed.totalCnt = 6000000000;
  {
    FileSizeLimit nearlyFull(16);
    EXPECT_FALSE(SaveTo(file, changed));
  }
  EXPECT_EQ(ReadBytes(file), before);

  // The error of one save does not stick to the next.
  QSettingsProfile profile(QPath(file));
  SettingsStore store(profile);
  {
    FileSizeLimit nearlyFull(16);
    store.SaveSettingsAndRecords(changed);
    EXPECT_FALSE(store.LastSaveSucceeded());
  }
  store.SaveSettingsAndRecords(changed);
  EXPECT_TRUE(store.LastSaveSucceeded());
  ExpectSameStoredValues(LoadFrom(file), changed);
}

// Permissions do not bind root; as root (as in CI) these run as nobody.
TEST(QSettingsProfileTest, ReadOnlyDirectoryKeepsTheOldFile) {
  TempDir dir;
  testing::HandToOrdinaryUser(dir.path());
  const auto file = dir / "kestrum.conf";
  EXPECT_TRUE(testing::AsOrdinaryUser([&] {
    if (!SaveTo(file, SavedRecords())) return false;
    const std::string before = ReadBytes(file);
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool refused = !SaveTo(file, SimulationState{});
    std::filesystem::permissions(dir.path(), std::filesystem::perms::owner_all);
    return refused && ReadBytes(file) == before;
  }));
}

TEST(QSettingsProfileTest, UnreadableFileGivesDefaultsAndIsNotReplaced) {
  TempDir dir;
  testing::HandToOrdinaryUser(dir.path());
  const auto file = dir / "kestrum.conf";
  // Written behind QSettings' back, so that no object of this process has
  // read it yet.
  const std::string years = "[RECORD]\nTOTALCNT=5000000000\n";
  WriteBytes(file, years);
  std::filesystem::permissions(file, std::filesystem::perms::none);
  EXPECT_TRUE(testing::AsOrdinaryUser([&] {
    const SimulationState state = LoadFrom(file);
    return state.totalCnt == 0 && !SaveTo(file, state);
  }));
  std::filesystem::permissions(file, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
  EXPECT_EQ(ReadBytes(file), years);
}

}  // namespace
}  // namespace kestrum
