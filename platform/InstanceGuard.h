#pragma once
// The single-instance guard "KESTRUM_RUNNING": an advisory lock (flock) on a
// file of that name in the user's runtime directory. The kernel drops the
// lock when the holding process ends in any way, SIGKILL included, so a
// guard left behind by a killed instance never blocks the next one; the
// file itself may stay and means nothing on its own.

#include <filesystem>
#include <string>

namespace kestrum {

inline constexpr const char* kInstanceGuardName = "KESTRUM_RUNNING";

class InstanceGuard {
 public:
  enum class Outcome {
    kAcquired,     // this process is the only instance
    kHeldElsewhere,  // another instance runs: end silently
    kUnavailable,  // no guard could be made: run without one
  };

  // The directory defaults to DefaultGuardDirectory().
  explicit InstanceGuard(std::filesystem::path directory = {}, std::string name = kInstanceGuardName);
  ~InstanceGuard();

  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Tests for another instance and takes the guard in one step.
  Outcome Acquire();
  void Release();
  bool Held() const { return fd_ >= 0; }

  // XDG_RUNTIME_DIR when it names a directory, else /tmp/kestrum-<uid>.
  static std::filesystem::path DefaultGuardDirectory();

 private:
  std::filesystem::path directory_;
  std::string name_;
  int fd_ = -1;
};

}  // namespace kestrum
