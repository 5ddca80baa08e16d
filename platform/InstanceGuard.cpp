#include "platform/InstanceGuard.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include <QString>

#include "platform/QSettingsProfile.h"

namespace kestrum {

namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// Close-on-exec, so that a browser started from the home-page command does
// not keep the guard after the program has ended; no link followed, and no
// wait on a FIFO someone put under the name.
constexpr int kSafeOpen = O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;

void CloseDescriptor(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

struct flock WholeFile(short type) {
  struct flock lock {};
  lock.l_type = type;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 0;
  return lock;
}

// kNotOurs: something else stands under the name; kFailed: nothing does,
// and no file could be made there (a read-only folder, say).
enum class Opened { kOurs, kNotOurs, kFailed };

// The file as this user's own regular file, made if missing; what else
// stands there is told apart, so that the caller may refuse or pass it over.
Opened OpenOwnFile(const std::string& file, int& fd, std::string& problem) {
  fd = ::open(file.c_str(), O_RDWR | O_CREAT | kSafeOpen, kOwnerOnly);
  if (fd < 0) {
    problem = file + ": " + std::strerror(errno);
    struct stat info {};
    return ::lstat(file.c_str(), &info) == 0 ? Opened::kNotOurs : Opened::kFailed;
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_uid != ::geteuid()) {
    problem = file + ": not a file of this user's own";
    CloseDescriptor(fd);
    return Opened::kNotOurs;
  }
  // Nobody else may open it, or they could take the lock themselves.
  if ((info.st_mode & 07777) != kOwnerOnly) (void)::fchmod(fd, kOwnerOnly);
  return Opened::kOurs;
}

// true: taken; false: another process holds it.
bool TakeLock(int fd) {
  struct flock lock = WholeFile(F_WRLCK);
  return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

std::string UserStoreFile() { return QSettingsProfile::UserFileName().toStdString(); }

}  // namespace

InstanceGuard::InstanceGuard() : InstanceGuard(FileBesideStore(UserStoreFile()), MachineFileFor(::geteuid())) {}

InstanceGuard::InstanceGuard(std::string ownFile, std::string sharedFile)
    : ownFile_(std::move(ownFile)), sharedFile_(std::move(sharedFile)) {}

InstanceGuard::~InstanceGuard() { Release(); }

std::string InstanceGuard::FileBesideStore(const std::string& storeFile) {
  const std::filesystem::path store(storeFile);
  return (store.parent_path() / kInstanceGuardName).string();
}

std::string InstanceGuard::MachineFileFor(uid_t user) {
  return std::string("/dev/shm/") + kInstanceGuardName + "-" + std::to_string(user);
}

InstanceGuard::Outcome InstanceGuard::Acquire() {
  if (Held()) return Outcome::kAcquired;
  problem_.clear();
  // The store's folder may not be there yet on a fresh profile; it is the
  // user's own, like the store that will be saved into it.
  std::error_code ignored;
  const std::filesystem::path folder = std::filesystem::path(ownFile_).parent_path();
  if (!folder.empty() && std::filesystem::create_directories(folder, ignored))
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all, ignored);

  int own = -1;
  const Opened ownOpened = OpenOwnFile(ownFile_, own, problem_);
  if (ownOpened == Opened::kNotOurs) return Outcome::kUnavailable;
  // A store folder that takes no file takes no save either, so two windows
  // on it cannot lose each other's games: the machine-wide file alone
  // guards, where it is this user's.
  if (ownOpened == Opened::kFailed) return AcquireSharedOnly();
  if (!TakeLock(own)) {
    const bool held = errno == EAGAIN || errno == EACCES;
    if (!held) problem_ = ownFile_ + ": " + std::strerror(errno);
    ::close(own);
    return held ? Outcome::kHeldElsewhere : Outcome::kUnavailable;
  }
  int shared = -1;
  std::string passedOver;
  if (!sharedFile_.empty() && OpenOwnFile(sharedFile_, shared, passedOver) == Opened::kOurs && !TakeLock(shared)) {
    const bool held = errno == EAGAIN || errno == EACCES;
    ::close(shared);
    ::close(own);
    if (held) return Outcome::kHeldElsewhere;
    problem_ = sharedFile_ + ": " + std::strerror(errno);
    return Outcome::kUnavailable;
  }
  ownFd_ = own;
  sharedFd_ = shared;
  return Outcome::kAcquired;
}

InstanceGuard::Outcome InstanceGuard::AcquireSharedOnly() {
  int shared = -1;
  std::string problem;
  if (sharedFile_.empty() || OpenOwnFile(sharedFile_, shared, problem) != Opened::kOurs) {
    if (!problem.empty()) problem_ += "; " + problem;
    return Outcome::kUnavailable;
  }
  if (!TakeLock(shared)) {
    const bool held = errno == EAGAIN || errno == EACCES;
    if (!held) problem_ = sharedFile_ + ": " + std::strerror(errno);
    ::close(shared);
    return held ? Outcome::kHeldElsewhere : Outcome::kUnavailable;
  }
  sharedFd_ = shared;
  problem_.clear();
  return Outcome::kAcquired;
}

void InstanceGuard::Release() {
  CloseDescriptor(sharedFd_);
  CloseDescriptor(ownFd_);
}

// A read lock is what a look would take: it conflicts only with a holder's
// write lock, and asking never takes it.
std::optional<bool> InstanceGuard::IsHeld(const std::string& file) {
  const int fd = ::open(file.c_str(), O_RDONLY | kSafeOpen);
  if (fd < 0) {
    if (errno == ENOENT) return false;
    return std::nullopt;
  }
  struct stat info {};
  struct flock lock = WholeFile(F_RDLCK);
  const bool asked = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && ::fcntl(fd, F_OFD_GETLK, &lock) == 0;
  ::close(fd);
  if (!asked) return std::nullopt;
  return lock.l_type != F_UNLCK;
}

}  // namespace kestrum
