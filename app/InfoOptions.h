#pragma once
// --help and --version of the window program, answered before any
// QApplication exists: they must work on a machine without a display, and
// the manual page is made from them at build time.

#include <optional>

namespace kestrum {

// The exit code when argv asks for the help or the version (printed on
// standard output); nullopt when the program is to start.
std::optional<int> AnswerInfoOptions(int argc, const char* const* argv);

}  // namespace kestrum
