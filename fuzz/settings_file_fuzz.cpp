// Arbitrary bytes as the settings file. Every input goes through the
// store's own text format and the load and save rules in memory: loading
// gives some value for each of the twelve fields without crashing, the
// saved text reads back as the values saved, and saving it again gives the
// same bytes. One input in eight (by its first byte, so that a crash
// repeats) also goes through the real file: QSettingsProfile over a file in
// shared memory, loaded and saved over. A save syncs the file and its
// folder, and QSettings keeps every file it has read in a cache of the
// process (scripts/fuzz.sh runs this target with -detect_leaks=0 for that,
// which keeps the leak check at exit), so the file path alone would hold
// the fuzzer to a few hundred runs a second.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include <QString>
#include <QtGlobal>

#include <unistd.h>

#include "engine/SimulationState.h"
#include "platform/QSettingsProfile.h"
#include "store/ProfileBackend.h"
#include "store/ProfileText.h"
#include "store/SettingsStore.h"

namespace {

using kestrum::ProfileEntries;

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

// The profile as the file's text holds it.
class TextProfile final : public kestrum::ProfileBackend {
 public:
  explicit TextProfile(std::string_view text) : entries_(kestrum::ParseProfileText(text)) {}
  std::string GetProfileString(std::string_view section, std::string_view entry,
                               std::string_view defaultText) override {
    const auto found = entries_.find(Key(section, entry));
    return found == entries_.end() ? std::string(defaultText) : found->second;
  }
  void WriteProfileString(std::string_view section, std::string_view entry, std::string_view value) override {
    entries_[Key(section, entry)] = std::string(value);
  }
  bool Commit() override {
    text_ = kestrum::ProfileTextOf(entries_);
    return true;
  }
  const ProfileEntries& Entries() const { return entries_; }
  const std::string& Text() const { return text_; }

 private:
  static std::string Key(std::string_view section, std::string_view entry) {
    return std::string(section) + '/' + std::string(entry);
  }
  ProfileEntries entries_;
  std::string text_;
};

void Broken(const char* what) {
  std::fprintf(stderr, "broken: %s\n", what);
  std::abort();
}

void ThroughText(std::string_view bytes) {
  TextProfile profile(bytes);
  kestrum::SettingsStore store(profile);
  kestrum::SimulationState state;
  store.LoadSettingsAndRecords(state);
  store.SaveSettingsAndRecords(state);
  if (kestrum::ParseProfileText(profile.Text()) != profile.Entries()) Broken("the saved text reads back otherwise");
  if (kestrum::ProfileTextOf(kestrum::ParseProfileText(profile.Text())) != profile.Text())
    Broken("the saved text, read and saved again, differs");
}

void ThroughFile(std::string_view bytes) {
  static const std::string directory = ScratchDirectory().empty() ? "/tmp" : ScratchDirectory();
  // QSettings keeps every file it has read in a cache of the process, so
  // each input gets a file name of its own.
  static long serial = 0;
  const std::string file = directory + "/" + std::to_string(++serial) + ".conf";
  if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), out);
    std::fclose(out);
  }
  {
    kestrum::QSettingsProfile profile(QString::fromStdString(file));
    kestrum::SettingsStore store(profile);
    kestrum::SimulationState state;
    store.LoadSettingsAndRecords(state);
    store.SaveSettingsAndRecords(state);
  }
  std::remove(file.c_str());
  std::remove((file + ".lock").c_str());
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  (void)argc;
  (void)argv;
  qInstallMessageHandler(Quiet);
  if (!ScratchDirectory().empty()) std::atexit([] { std::filesystem::remove_all(ScratchDirectory()); });
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  ThroughText(bytes);
  if (size > 0 && data[0] % 8 == 0) ThroughFile(bytes);
  return 0;
}
