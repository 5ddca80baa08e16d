// Arbitrary bytes as the settings file: loading gives some value for each of
// the twelve fields without crashing, and saving over the file works or
// fails cleanly. The files live in shared memory: every save syncs the file
// and its directory, which on a disk would hold the fuzzer to a few runs a
// second. An offscreen QGuiApplication is there because a value written as
// @Variant(...) may load as a pixmap, which Qt refuses to make without one.
// QSettings keeps the files it has read in a process-wide cache, so nearly
// every input leaves an allocation behind and libFuzzer would run a full
// leak check after each; scripts/fuzz.sh runs this target with
// -detect_leaks=0, which keeps the leak check at exit.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include "engine/SimulationState.h"
#include "platform/QSettingsProfile.h"
#include "store/SettingsStore.h"

namespace {

// Qt complains about every odd value it meets; the fuzzer's output should
// show only what matters.
void Quiet(QtMsgType, const QMessageLogContext&, const QString&) {}

std::string& ScratchDirectory() {
  static std::string directory = [] {
    char pattern[] = "/dev/shm/kestrum-fuzz-settings-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    return std::string(made != nullptr ? made : "");
  }();
  return directory;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  qInstallMessageHandler(Quiet);
  ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QGuiApplication application(*argc, *argv);
  if (!ScratchDirectory().empty()) std::atexit([] { std::filesystem::remove_all(ScratchDirectory()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  static const std::string directory = ScratchDirectory().empty() ? "/tmp" : ScratchDirectory();
  // QSettings keeps every file it has read in a cache of the process, so
  // each input gets a file name of its own.
  static long serial = 0;
  const std::string file = directory + "/" + std::to_string(++serial) + ".conf";
  if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
  {
    QSettingsProfile profile(QString::fromStdString(file));
    SettingsStore store(profile);
    SimulationState state;
    store.LoadSettingsAndRecords(state);
    store.SaveSettingsAndRecords(state);
  }
  std::remove(file.c_str());
  std::remove((file + ".lock").c_str());
  return 0;
}
