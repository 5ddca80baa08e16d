#include "os/Files.h"

// What both systems' files share, on top of the calls each implements.
namespace kestrum::os {

ReadResult ReadWholeFile(const std::filesystem::path& path) {
  File file = File::OpenToRead(path);
  ReadResult result{file.Status(), {}, file.Problem()};
  char buffer[65536];
  while (file.IsOpen()) {
    const std::size_t got = file.Read(buffer, sizeof buffer);
    if (got == 0) break;
    result.bytes.append(buffer, got);
  }
  if (file.ReadFailed()) {
    result.status = OpenStatus::Failed;
    result.problem = "it cannot be read";
  }
  return result;
}

}  // namespace kestrum::os
