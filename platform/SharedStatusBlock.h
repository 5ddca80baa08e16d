#pragma once
// The 512-byte named shared-memory block that mirrors the latest game, as
// POSIX shared memory, readable and writable by the user only.
//
// The block is created, or the existing one of that name opened, once; each
// Write maps it, copies the text and its zero byte to offset 0 and unmaps it
// again. Mapping per write means the size is checked against the object
// before every copy, so a block that another process shrinks meanwhile
// costs that game's text, not a SIGBUS.
//
// A block that already exists with another size is never mapped past its
// end: at most its first 512 bytes are mapped, and a text that does not fit
// there with its zero byte is not written. An existing block of size 0 is one
// whose creator has not sized it yet; it is sized to 512 zero bytes. Every
// failure is silent: the game goes on without text.
//
// Close removes the name, but only while it still names the block this
// object opened, so that a block created anew under the name by someone else
// is left alone. Readers that still hold the old block keep it until they
// let go.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "engine/RunPorts.h"

namespace kestrum {

inline constexpr const char* kStatusBlockName = "/KESTRUM SOFT";

class SharedStatusBlock final : public StatusBlockPort {
 public:
  explicit SharedStatusBlock(std::string name = kStatusBlockName);
  ~SharedStatusBlock() override;

  SharedStatusBlock(const SharedStatusBlock&) = delete;
  SharedStatusBlock& operator=(const SharedStatusBlock&) = delete;

  void Create() override;
  void Write(std::string_view text) override;
  void Close() override;

  bool IsOpen() const { return fd_ >= 0; }

 private:
  std::string name_;
  int fd_ = -1;
};

// What a reader sees of a block, without creating it: its bytes (at most the
// first 512) and an identity that changes when the block is created anew
// under the same name.
struct StatusBlockSnapshot {
  std::string bytes;
  std::uint64_t identity = 0;
};

// nullopt when no block of that name exists or it cannot be read.
std::optional<StatusBlockSnapshot> SnapshotStatusBlock(const std::string& name);
std::optional<std::string> ReadStatusBlockBytes(const std::string& name);

// The text up to the first zero byte, Shift_JIS as written.
std::optional<std::string> ReadStatusBlock(const std::string& name);

}  // namespace kestrum
