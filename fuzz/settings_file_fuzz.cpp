// Arbitrary bytes as the settings file: loading gives some value for each of
// the twelve fields without crashing, and saving over the file works or
// fails cleanly.

#include <cstdint>
#include <cstdio>
#include <string>

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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  qInstallMessageHandler(Quiet);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrum;
  // QSettings keeps every file it has read in a cache of the process, so
  // each input gets a file name of its own.
  static long serial = 0;
  const std::string file = "/tmp/kestrum-fuzz-settings-" + std::to_string(::getpid()) + "-" +
                           std::to_string(++serial) + ".conf";
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
