#include "win32/RegistryProfile.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/SimulationState.h"
#include "store/SettingsStore.h"

namespace kestrum::win32 {
namespace {

// A key of the test's own under HKEY_CURRENT_USER, removed before and after.
class RegistryProfileTest : public ::testing::Test {
 protected:
  static constexpr const char* kRoot = "Software\\Kestrum Tests\\kestrum";

  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kestrum Tests"); }
  void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Kestrum Tests"); }

  static void Put(const char* section, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    const std::string path = std::string(kRoot) + "\\" + section;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
  }

  static void PutText(const char* section, const char* name, const std::string& text) {
    Put(section, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
  }

  // The value as stored: its type and its bytes.
  static std::pair<DWORD, std::string> Stored(const char* section, const char* name) {
    HKEY key = nullptr;
    const std::string path = std::string(kRoot) + "\\" + section;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return {0, ""};
    char data[64] = {};
    DWORD type = 0;
    DWORD size = sizeof data;
    RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return {type, std::string(data, size)};
  }
};

TEST_F(RegistryProfileTest, SavesEveryValueAsDecimalTextWithItsNul) {
  RegistryProfile profile(kRoot);
  SettingsStore store(profile);
  SimulationState state;
  state.totalCnt = 5000000000;
  state.speed = 10;
  state.interval = 10000;
  state.sound = true;
  store.SaveSettingsAndRecords(state);
  EXPECT_TRUE(store.LastSaveSucceeded());
  EXPECT_EQ(Stored("RECORD", "TOTALCNT"), (std::pair<DWORD, std::string>{REG_SZ, std::string("5000000000\0", 11)}));
  EXPECT_EQ(Stored("SETTING", "SPEED"), (std::pair<DWORD, std::string>{REG_SZ, std::string("10\0", 3)}));
  EXPECT_EQ(Stored("SETTING", "SOUND"), (std::pair<DWORD, std::string>{REG_SZ, std::string("1\0", 2)}));
  EXPECT_EQ(Stored("SETTING", "CONTINUE"), (std::pair<DWORD, std::string>{REG_SZ, std::string("0\0", 2)}));
}

TEST_F(RegistryProfileTest, ValuesOthersLeftAreReadAsTheyStand) {
  PutText("RECORD", "TOTALCNT", "  42abc");
  PutText("SETTING", "SPEED", "-7");
  PutText("SETTING", "CONTINUE", "2");
  PutText("SETTING", "SOUND", " 1");
  RegistryProfile profile(kRoot);
  SettingsStore store(profile);
  SimulationState state;
  store.LoadSettingsAndRecords(state);
  EXPECT_EQ(state.totalCnt, 42);
  EXPECT_EQ(state.speed, -7);
  EXPECT_FALSE(state.continueRun);
  EXPECT_TRUE(state.sound);
  EXPECT_EQ(state.interval, 1);  // missing: the default
  EXPECT_TRUE(state.logFile);
}

TEST_F(RegistryProfileTest, AValueOfAnotherTypeOrWithoutItsNulFallsBackOrEndsAtItsSize) {
  const DWORD number = 250;
  Put("SETTING", "SPEED", REG_DWORD, &number, sizeof number);
  Put("SETTING", "INTERVAL", REG_BINARY, "\x01\x02", 2);
  Put("RECORD", "TENHOCNT", REG_SZ, "77", 2);  // no NUL stored
  RegistryProfile profile(kRoot);
  EXPECT_EQ(profile.GetProfileString("SETTING", "SPEED", "500"), "500");
  EXPECT_EQ(profile.GetProfileString("SETTING", "INTERVAL", "1"), "1");
  EXPECT_EQ(profile.GetProfileString("RECORD", "TENHOCNT", "0"), "77");
  EXPECT_EQ(profile.GetProfileString("RECORD", "MISSING", "x"), "x");
}

// The first reading asks for the size: a long value must then be read
// whole, not through a buffer of a guessed size that the registry refuses
// to fill.
TEST_F(RegistryProfileTest, ALongValueIsReadWhole) {
  const std::string digits = "123" + std::string(10000, '9');
  PutText("RECORD", "TOTALCNT", digits);
  RegistryProfile profile(kRoot);
  EXPECT_EQ(profile.GetProfileString("RECORD", "TOTALCNT", "0"), digits);
}

TEST_F(RegistryProfileTest, AStoreThatCannotBeOpenedGivesDefaultsAndAFailedCommit) {
  // No key's name may be longer than 255 characters.
  RegistryProfile profile(std::string(kRoot) + "\\" + std::string(300, 'k'));
  EXPECT_EQ(profile.GetProfileString("X", "Y", "fallback"), "fallback");
  profile.WriteProfileString("X", "Y", "1");
  EXPECT_FALSE(profile.Commit());
  EXPECT_FALSE(profile.Commit());  // nothing of it can reach the disk either
}

}  // namespace
}  // namespace kestrum::win32
