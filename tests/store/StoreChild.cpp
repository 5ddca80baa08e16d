// A process that keeps the store and the log busy, for the tests that kill
// it or look at where it left its files. It uses the user's real profile
// location, so the caller picks XDG_CONFIG_HOME.
//
//   kestrum_store_child loop LOGFILE    heavenly hands without end
//   kestrum_store_child once LOGFILE    one heavenly hand, then exit
//   kestrum_store_child path            print the profile's file name

#include <cstdio>
#include <cstring>
#include <ctime>
#include <memory>

#include "KillLoopState.h"
#include "engine/SimulationState.h"
#include "platform/QSettingsProfile.h"
#include "store/SettingsStore.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogTable.h"

namespace {

using namespace kestrum;

// One heavenly hand as the run handles it: the entry first, then the save.
void OneHeavenlyHand(SettingsStore& store, TenhouLogFile& log, SimulationState& state) {
  testing::SetKillLoopState(state, state.tenhoCnt + 1);
  state.startHeader = log.StartHeaderAt(std::time(nullptr));
  log.AppendTenhouLog(state, std::time(nullptr));
  store.SaveSettingsAndRecords(state);
}

int Run(const char* mode, const char* logFile) {
  QSettingsProfile profile;
  if (std::strcmp(mode, "path") == 0) {
    std::printf("%s\n", profile.FileName().c_str());
    return 0;
  }
  SettingsStore store(profile);
  auto table = std::make_unique<TenhouLogTable>();
  TenhouLogFile log(*table, logFile);
  SimulationState state;
  state.tileNames = TileNames();
  state.hand = kFixedStartHand;
  store.LoadSettingsAndRecords(state);
  if (std::strcmp(mode, "once") == 0) {
    OneHeavenlyHand(store, log, state);
    return store.LastSaveSucceeded() && log.LastAppendResult() == LogAppendResult::Written ? 0 : 1;
  }
  for (;;) OneHeavenlyHand(store, log, state);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || (std::strcmp(argv[1], "path") != 0 && argc < 3)) {
    std::fprintf(stderr, "usage: %s loop|once LOGFILE | path\n", argv[0]);
    return 2;
  }
  return Run(argv[1], argc > 2 ? argv[2] : "");
}
