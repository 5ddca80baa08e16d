#include "platform/InstanceGuard.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string>

namespace kestrum {

namespace {

// An abstract address: a zero byte, then the name, no terminator. Its
// length is part of the name, so it is passed exactly.
struct AbstractAddress {
  sockaddr_un address{};
  socklen_t length = 0;
};

AbstractAddress AddressOf(const std::string& name) {
  AbstractAddress result;
  result.address.sun_family = AF_UNIX;
  const std::size_t size = std::min(name.size(), sizeof result.address.sun_path - 1);
  std::memcpy(result.address.sun_path + 1, name.data(), size);
  result.length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + size);
  return result;
}

// Close-on-exec, so that a browser started from the home-page command does
// not keep the guard after the program has ended.
int NewSocket() { return ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0); }

}  // namespace

InstanceGuard::InstanceGuard() : InstanceGuard(NameFor(::getuid())) {}

InstanceGuard::InstanceGuard(std::string name) : name_(std::move(name)) {}

InstanceGuard::~InstanceGuard() { Release(); }

std::string InstanceGuard::NameFor(uid_t user) {
  return std::string(kInstanceGuardName) + "-" + std::to_string(user);
}

InstanceGuard::Outcome InstanceGuard::Acquire() {
  if (fd_ >= 0) return Outcome::kAcquired;
  const int fd = NewSocket();
  if (fd < 0) return Outcome::kUnavailable;
  const AbstractAddress where = AddressOf(name_);
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&where.address), where.length) == 0) {
    fd_ = fd;
    return Outcome::kAcquired;
  }
  const bool taken = errno == EADDRINUSE;
  ::close(fd);
  return taken ? Outcome::kHeldElsewhere : Outcome::kUnavailable;
}

void InstanceGuard::Release() {
  if (fd_ < 0) return;
  ::close(fd_);
  fd_ = -1;
}

// A datagram socket connects to a bound name at once, without the holder
// doing anything; an unbound name refuses.
bool InstanceGuard::IsHeld(const std::string& name) {
  const int fd = NewSocket();
  if (fd < 0) return false;
  const AbstractAddress where = AddressOf(name);
  const bool held = ::connect(fd, reinterpret_cast<const sockaddr*>(&where.address), where.length) == 0;
  ::close(fd);
  return held;
}

}  // namespace kestrum
