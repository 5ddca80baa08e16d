#include "cli/StandardOutput.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace kestrum {

void WriteStandardOutput(std::string_view bytes) {
  errno = 0;
  const std::size_t written = std::fwrite(bytes.data(), 1, bytes.size(), stdout);
  const bool flushed = std::fflush(stdout) == 0;
  if (written == bytes.size() && flushed && !std::ferror(stdout)) return;
  const int error = errno;
  std::clearerr(stdout);
  throw OutputFailed(std::string("writing standard output: ") +
                     (error != 0 ? std::strerror(error) : "the write failed"));
}

}  // namespace kestrum
