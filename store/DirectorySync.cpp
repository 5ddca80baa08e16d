#include "store/DirectorySync.h"

#include <fcntl.h>
#include <unistd.h>

namespace kestrum {

bool SyncDirectoryOf(const std::filesystem::path& file) {
  std::filesystem::path directory = file.parent_path();
  if (directory.empty()) directory = ".";
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

}  // namespace kestrum
