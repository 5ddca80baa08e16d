#include "platform/SharedStatusBlock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

#include "engine/StatusText.h"

namespace kestrum {
namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;
// glibc adds O_NOFOLLOW and O_CLOEXEC itself; they are spelled out for
// other C libraries. O_NONBLOCK makes a FIFO under the name open at once.
constexpr int kSafeOpen = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;

bool StatOf(int fd, struct stat& info) { return ::fstat(fd, &info) == 0; }

// A block the user may trust: a regular object of this user that no other
// user can write, and so cannot shrink or fill with bytes of their own.
bool IsTrustedBlock(int fd) {
  struct stat info {};
  return StatOf(fd, info) && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
         (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

std::uint64_t IdentityOf(const struct stat& info) {
  return (static_cast<std::uint64_t>(info.st_dev) << 40) ^ static_cast<std::uint64_t>(info.st_ino);
}

bool SameObject(int fdA, int fdB) {
  struct stat a {};
  struct stat b {};
  return StatOf(fdA, a) && StatOf(fdB, b) && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Zero bytes of the block's own size, whatever the object held or measured.
bool ClearToZeroBytes(int fd) { return ::ftruncate(fd, 0) == 0 && ::ftruncate(fd, kStatusBlockSize) == 0; }

bool WriteAllAt(int fd, const char* bytes, std::size_t size) {
  std::size_t done = 0;
  while (done < size) {
    const ssize_t n = ::pwrite(fd, bytes + done, size - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// Reads at most the block's size from offset 0; a shrinking object only
// gives fewer bytes.
std::string ReadAllAt(int fd) {
  std::string bytes(kStatusBlockSize, '\0');
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  bytes.resize(done);
  return bytes;
}

void CloseDescriptor(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

}  // namespace

SharedStatusBlock::SharedStatusBlock(std::string name) : name_(std::move(name)) {}

SharedStatusBlock::~SharedStatusBlock() { Close(); }

void SharedStatusBlock::Create() {
  if (fd_ >= 0) return;
  if (CreateNew()) return;
  if (errno == EEXIST) TakeOverLeftover();
}

bool SharedStatusBlock::CreateNew() {
  fd_ = ::shm_open(name_.c_str(), O_RDWR | O_CREAT | O_EXCL | kSafeOpen, kOwnerOnly);
  if (fd_ < 0) return false;
  // A umask may have taken the owner's own rights away.
  (void)::fchmod(fd_, kOwnerOnly);
  if (::ftruncate(fd_, kStatusBlockSize) != 0) Close();
  return true;
}

bool SharedStatusBlock::TakeOverLeftover() {
  fd_ = ::shm_open(name_.c_str(), O_RDWR | kSafeOpen, 0);
  if (fd_ >= 0 && IsTrustedBlock(fd_) && ClearToZeroBytes(fd_)) return true;
  CloseDescriptor(fd_);
  return false;
}

// The text and its ending zero go in one write, assembled on the stack:
// this runs after every game.
void SharedStatusBlock::Write(std::string_view text) {
  if (fd_ < 0) return;
  std::array<char, kStatusBlockSize> bytes;
  if (text.size() + 1 > bytes.size()) return;
  std::memcpy(bytes.data(), text.data(), text.size());
  bytes[text.size()] = '\0';
  (void)WriteAllAt(fd_, bytes.data(), text.size() + 1);
}

void SharedStatusBlock::Close() {
  if (fd_ < 0) return;
  int current = ::shm_open(name_.c_str(), O_RDONLY | kSafeOpen, 0);
  if (current >= 0 && SameObject(fd_, current)) ::shm_unlink(name_.c_str());
  CloseDescriptor(current);
  CloseDescriptor(fd_);
}

StatusBlockSnapshot SnapshotStatusBlock(const std::string& name) {
  StatusBlockSnapshot snapshot;
  int fd = ::shm_open(name.c_str(), O_RDONLY | kSafeOpen, 0);
  if (fd < 0) {
    // ELOOP: a symbolic link stands under the name.
    snapshot.state = errno == ENOENT ? StatusBlockState::kMissing
                     : errno == EACCES ? StatusBlockState::kDenied
                                       : StatusBlockState::kNotABlock;
    return snapshot;
  }
  struct stat info {};
  if (!StatOf(fd, info) || !S_ISREG(info.st_mode)) {
    snapshot.state = StatusBlockState::kNotABlock;
  } else {
    snapshot.state = StatusBlockState::kPresent;
    snapshot.identity = IdentityOf(info);
    snapshot.owner = info.st_uid;
    snapshot.bytes = ReadAllAt(fd);
  }
  CloseDescriptor(fd);
  return snapshot;
}

std::optional<std::string> ReadStatusBlock(const std::string& name) {
  StatusBlockSnapshot snapshot = SnapshotStatusBlock(name);
  if (snapshot.state != StatusBlockState::kPresent) return std::nullopt;
  std::string& bytes = snapshot.bytes;
  const auto end = bytes.find('\0');
  if (end != std::string::npos) bytes.resize(end);
  return std::move(bytes);
}

}  // namespace kestrum
