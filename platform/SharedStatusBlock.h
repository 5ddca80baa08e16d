#pragma once
// The 512-byte named shared-memory block that mirrors the latest game, as
// POSIX shared memory, readable and writable by the user only.
//
// The name lives in a directory every local user may write to, so whatever
// stands there is treated as hostile until shown otherwise:
// - it is opened without following a link and without blocking (a FIFO in
//   its place would otherwise hang the open for ever);
// - an existing object is used only when it is a regular shared-memory
//   object of this user that no one else may write; anything else counts as
//   a block that could not be created, and the games go on without text;
// - the text goes in with pwrite, not through a mapping, so an object that
//   someone shrinks meanwhile costs at most that game's text, never a SIGBUS.
//
// Creation runs while the single-instance guard is held, so a block of this
// user that is already there was left by an instance that died. It is
// taken over: cleared in place to 512 zero bytes before the first game (a
// reader that keeps it open goes on following it), and from then on it is
// this instance's own. Close removes the name only while it still stands
// for the block this object made or took over, so that a block created
// anew under the name by someone else is left alone, and no stale block
// outlives a clean exit.

#include <sys/types.h>

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
  bool CreateNew();
  bool TakeOverLeftover();

  std::string name_;
  int fd_ = -1;
};

// What a reader finds under a block's name; it never creates one.
enum class StatusBlockState {
  kMissing,    // no object of that name
  kDenied,     // an object this user may not read
  kNotABlock,  // a directory, a FIFO or anything else that is no shared-memory object
  kPresent,
};

struct StatusBlockSnapshot {
  StatusBlockState state = StatusBlockState::kMissing;
  std::string bytes;           // at most the first 512 bytes
  std::uint64_t identity = 0;  // changes when the block is created anew under the name
  uid_t owner = 0;
};

StatusBlockSnapshot SnapshotStatusBlock(const std::string& name);

// The text up to the first zero byte, Shift_JIS as written; nullopt unless a
// block is present and readable.
std::optional<std::string> ReadStatusBlock(const std::string& name);

}  // namespace kestrum
