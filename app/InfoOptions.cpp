#include "app/InfoOptions.h"

#include <cstdio>
#include <string_view>

namespace kestrum {
namespace {

constexpr std::string_view kVersionText = "kestrum 1.11\n";

// help2man turns this into the manual page ("Usage:" and "Options:" become
// its sections); the files and cross references are added there.
constexpr std::string_view kHelpText =
    "Usage: kestrum [OPTION]...\n"
    "The heavenly-hand simulator: deals mahjong hands one after another on a timer and\n"
    "counts how often the dealer's opening fourteen tiles already form a complete hand\n"
    "(thirteen orphans, seven pairs, or four sets and a pair). The window speaks Japanese.\n"
    "\n"
    "F2 starts a run, F3 opens the settings, F4 the lifetime records and F5 the logged\n"
    "heavenly hands. Every heavenly hand is announced with a chime, appended to the log\n"
    "file and saved in the records. Only one Kestrum runs at a time: a second start ends\n"
    "at once, silently.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Show this help and exit.\n"
    "  --version      Show the version and exit.\n"
    "\n"
    "Qt's standard options, such as -platform NAME or -display DISPLAY, are accepted too.\n";

int Print(std::string_view text) {
  const bool written = std::fwrite(text.data(), 1, text.size(), stdout) == text.size();
  return written && std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

std::optional<int> AnswerInfoOptions(int argc, const char* const* argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--help" || arg == "-h") return Print(kHelpText);
    if (arg == "--version") return Print(kVersionText);
  }
  return std::nullopt;
}

}  // namespace kestrum
