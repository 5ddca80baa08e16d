#include "platform/SharedStatusBlock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "engine/StatusText.h"

namespace kestrum {
namespace {

constexpr mode_t kOwnerOnly = S_IRUSR | S_IWUSR;

// The bytes of the object that may be mapped: never past its end, never more
// than the block's own size. 0 when it is no regular object or fstat fails.
std::size_t MappableSize(int fd) {
  struct stat info {};
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size <= 0) return 0;
  return std::min(static_cast<std::size_t>(info.st_size), static_cast<std::size_t>(kStatusBlockSize));
}

std::uint64_t IdentityOf(const struct stat& info) {
  return (static_cast<std::uint64_t>(info.st_dev) << 40) ^ static_cast<std::uint64_t>(info.st_ino);
}

bool SameObject(int fdA, int fdB) {
  struct stat a {};
  struct stat b {};
  return fstat(fdA, &a) == 0 && fstat(fdB, &b) == 0 && a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// A creator that has not sized its object yet leaves it at 0 bytes; such an
// object becomes a block of 512 zero bytes. Any other size is kept.
void SizeNewObject(int fd) {
  struct stat info {};
  if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size == 0)
    (void)ftruncate(fd, kStatusBlockSize);
}

}  // namespace

SharedStatusBlock::SharedStatusBlock(std::string name) : name_(std::move(name)) {}

SharedStatusBlock::~SharedStatusBlock() { Close(); }

void SharedStatusBlock::Create() {
  if (fd_ >= 0) return;
  fd_ = shm_open(name_.c_str(), O_RDWR | O_CREAT, kOwnerOnly);
  if (fd_ < 0) return;
  SizeNewObject(fd_);
}

void SharedStatusBlock::Write(std::string_view text) {
  if (fd_ < 0) return;
  const std::size_t size = MappableSize(fd_);
  if (text.size() + 1 > size) return;
  void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd_, 0);
  if (view == MAP_FAILED) return;
  auto* bytes = static_cast<char*>(view);
  std::memcpy(bytes, text.data(), text.size());
  bytes[text.size()] = '\0';
  munmap(view, size);
}

void SharedStatusBlock::Close() {
  if (fd_ < 0) return;
  const int current = shm_open(name_.c_str(), O_RDONLY, 0);
  if (current >= 0) {
    if (SameObject(fd_, current)) shm_unlink(name_.c_str());
    close(current);
  }
  close(fd_);
  fd_ = -1;
}

std::optional<StatusBlockSnapshot> SnapshotStatusBlock(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) return std::nullopt;
  StatusBlockSnapshot snapshot;
  struct stat info {};
  if (fstat(fd, &info) == 0) snapshot.identity = IdentityOf(info);
  const std::size_t size = MappableSize(fd);
  if (size > 0) {
    void* view = mmap(nullptr, size, PROT_READ, MAP_SHARED, fd, 0);
    if (view == MAP_FAILED) {
      close(fd);
      return std::nullopt;
    }
    snapshot.bytes.assign(static_cast<const char*>(view), size);
    munmap(view, size);
  }
  close(fd);
  return snapshot;
}

std::optional<std::string> ReadStatusBlockBytes(const std::string& name) {
  auto snapshot = SnapshotStatusBlock(name);
  if (!snapshot) return std::nullopt;
  return std::move(snapshot->bytes);
}

std::optional<std::string> ReadStatusBlock(const std::string& name) {
  auto bytes = ReadStatusBlockBytes(name);
  if (!bytes) return std::nullopt;
  const auto end = bytes->find('\0');
  if (end != std::string::npos) bytes->resize(end);
  return bytes;
}

}  // namespace kestrum
