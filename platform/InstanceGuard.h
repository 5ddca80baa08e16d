#pragma once
// The single-instance guard "KESTRUM_RUNNING": one instance per user and
// store, whatever the environment the program was started from (a desktop,
// ssh, cron, another XDG_RUNTIME_DIR or none, another network namespace).
//
// It is a write lock on two files that only the user can open (mode 0600):
// "KESTRUM_RUNNING" beside the store, in the user's own folder, which covers
// the store itself; and "/dev/shm/KESTRUM_RUNNING-<uid>", beside the status
// block, which covers the block that every instance of the user on the
// machine would share even with another store (another HOME). The locks are
// open-file-description locks: the kernel drops them when the holder ends in
// any way, SIGKILL included, so a killed instance never blocks the next
// start, and the files staying behind hold nothing.
//
// Another user cannot take either lock, having no way to open the files. A
// file under the name beside the store that is not the user's own regular
// file means the guard cannot be trusted: the program does not start. One
// under the machine-wide name is passed over, since anyone may create files
// in /dev/shm. A store folder that takes no file (read-only) leaves the
// machine-wide file to guard alone.

#include <sys/types.h>

#include <optional>
#include <string>

namespace kestrum {

inline constexpr const char* kInstanceGuardName = "KESTRUM_RUNNING";

class InstanceGuard {
 public:
  enum class Outcome {
    kAcquired,       // this process is the only instance
    kHeldElsewhere,  // another instance runs: end silently
    kUnavailable,    // the guard cannot be made or trusted: end, saying why (Problem)
  };

  // The user's guard, beside the user's store and beside the status block.
  InstanceGuard();
  // A guard of the caller's own: ownFile must be the user's; sharedFile,
  // when not empty, is passed over when it is not.
  explicit InstanceGuard(std::string ownFile, std::string sharedFile = {});
  ~InstanceGuard();

  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Tests for another instance and takes the guard in one step.
  Outcome Acquire();
  void Release();
  bool Held() const { return ownFd_ >= 0 || sharedFd_ >= 0; }
  // Why the last Acquire gave kUnavailable.
  const std::string& Problem() const { return problem_; }

  // "<folder of storeFile>/KESTRUM_RUNNING".
  static std::string FileBesideStore(const std::string& storeFile);
  // "/dev/shm/KESTRUM_RUNNING-<uid>": the guard that goes with a user's status block.
  static std::string MachineFileFor(uid_t user);
  // Whether some process holds the guard in that file right now; looks
  // without taking it, so a starting instance is never turned away by it.
  // Empty when the file is there but may not be looked at (another user's).
  static std::optional<bool> IsHeld(const std::string& file);

 private:
  Outcome AcquireSharedOnly();

  std::string ownFile_;
  std::string sharedFile_;
  int ownFd_ = -1;
  int sharedFd_ = -1;
  std::string problem_;
};

}  // namespace kestrum
