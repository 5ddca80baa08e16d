#include "AppTestPlace.h"

#include <cstdlib>
#include <ctime>

#include <unistd.h>

#include "engine/SimulationState.h"
#include "platform/QSettingsProfile.h"
#include "store/StoredValues.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"

namespace apptest {

namespace {
int placeSerial = 0;
}

std::filesystem::path EnterPrivatePlace() {
  char pattern[] = "/tmp/kestrum-app-tests-XXXXXX";
  const std::filesystem::path place = ::mkdtemp(pattern);
  std::filesystem::create_directory(place / "config");
  std::filesystem::create_directory(place / "run");
  std::filesystem::permissions(place / "run", std::filesystem::perms::owner_all);
  ::setenv("XDG_CONFIG_HOME", (place / "config").c_str(), 1);
  ::setenv("XDG_RUNTIME_DIR", (place / "run").c_str(), 1);
  std::filesystem::current_path(place);
  return place;
}

void LeavePrivatePlace(const std::filesystem::path& place) {
  std::filesystem::current_path("/");
  std::error_code ignored;
  std::filesystem::remove_all(place, ignored);
}

ViewPlaces FreshPlaces() {
  ++placeSerial;
  ViewPlaces places;
  places.statusBlockName = "/kestrum-app-test-" + std::to_string(::getpid()) + "-" + std::to_string(placeSerial);
  places.logFile = std::filesystem::current_path() / ("tenholog-" + std::to_string(placeSerial) + ".txt");
  return places;
}

void PresetStore(const std::map<std::string, std::string>& values) {
  kestrum::QSettingsProfile profile;
  for (const kestrum::StoredValue& stored : kestrum::kStoredValues) {
    std::string text(stored.defaultText);
    if (stored.name == "SOUND") text = "0";
    const auto given = values.find(std::string(stored.name));
    if (given != values.end()) text = given->second;
    profile.WriteProfileString(stored.section, stored.name, text);
  }
  profile.Commit();
}

std::string StoredValue(const std::string& entry) {
  kestrum::QSettingsProfile profile;
  for (const kestrum::StoredValue& stored : kestrum::kStoredValues) {
    if (stored.name == entry) return profile.GetProfileString(stored.section, stored.name, "(missing)");
  }
  return "(unknown)";
}

void AppendLogEntry(const std::filesystem::path& logFile) {
  static kestrum::TenhouLogTable scratch;
  kestrum::TenhouLogFile log(scratch, logFile);
  kestrum::SimulationState state;
  state.hand = kestrum::kFixedStartHand;
  state.tileNames = kestrum::TileNames();
  state.sinceCnt = 5;
  state.totalCnt = 5;
  state.tenhoCnt = 1;
  state.minTenhoCnt = 5;
  state.maxTenhoCnt = 5;
  const std::time_t now = std::time(nullptr);
  state.startHeader = log.StartHeaderAt(now);
  log.AppendTenhouLog(state, now);
}

}  // namespace apptest
