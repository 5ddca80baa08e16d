#pragma once
// Every command prints its standard output through here, so that a write
// that fails (a full disk, /dev/full, a closed terminal) ends the command
// with a message and exit code 1 instead of passing for success.

#include <stdexcept>
#include <string_view>

namespace kestrum {

// Thrown by WriteStandardOutput; main() turns it into the message and exit
// code 1, so a command need not check each write.
class OutputFailed : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Writes all the bytes and flushes them.
void WriteStandardOutput(std::string_view bytes);

}  // namespace kestrum
