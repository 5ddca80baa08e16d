#include "platform/InstanceGuard.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestrum {

namespace {

bool IsDirectory(const char* path) {
  struct stat info {};
  return path != nullptr && *path != '\0' && ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// A shared /tmp lets anyone create the fallback directory first; a directory
// that is not ours, that others may write to, or a symbolic link in its place
// is not trusted with the guard (the program then runs without one rather
// than follow it).
bool IsPrivateDirectory(const std::filesystem::path& dir) {
  struct stat info {};
  if (::lstat(dir.c_str(), &info) != 0) return false;
  return S_ISDIR(info.st_mode) && info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

InstanceGuard::InstanceGuard(std::filesystem::path directory, std::string name)
    : directory_(directory.empty() ? DefaultGuardDirectory() : std::move(directory)), name_(std::move(name)) {}

InstanceGuard::~InstanceGuard() { Release(); }

std::filesystem::path InstanceGuard::DefaultGuardDirectory() {
  const char* runtime = std::getenv("XDG_RUNTIME_DIR");
  if (IsDirectory(runtime) && IsPrivateDirectory(runtime)) return runtime;
  return std::filesystem::path("/tmp") / ("kestrum-" + std::to_string(::getuid()));
}

InstanceGuard::Outcome InstanceGuard::Acquire() {
  if (fd_ >= 0) return Outcome::kAcquired;
  if (::mkdir(directory_.c_str(), 0700) != 0 && errno != EEXIST) return Outcome::kUnavailable;
  if (!IsPrivateDirectory(directory_)) return Outcome::kUnavailable;

  const std::filesystem::path file = directory_ / name_;
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (fd < 0) return Outcome::kUnavailable;
  int locked = -1;
  do {
    locked = ::flock(fd, LOCK_EX | LOCK_NB);
  } while (locked != 0 && errno == EINTR);
  if (locked == 0) {
    fd_ = fd;
    return Outcome::kAcquired;
  }
  const bool held = errno == EWOULDBLOCK;
  ::close(fd);
  return held ? Outcome::kHeldElsewhere : Outcome::kUnavailable;
}

void InstanceGuard::Release() {
  if (fd_ < 0) return;
  // Closing drops the lock; the file stays, so that two instances starting
  // at the same moment always lock the same inode.
  ::close(fd_);
  fd_ = -1;
}

}  // namespace kestrum
