#pragma once
// The single-instance guard "KESTRUM_RUNNING": one per user on the machine,
// whatever the environment the program was started from (a desktop, ssh,
// cron, another XDG_RUNTIME_DIR or none). It is a datagram socket bound to
// the abstract name "KESTRUM_RUNNING-<uid>": no file to own, to squat on or
// to leave behind, and the kernel frees the name when the holder ends in any
// way, SIGKILL included, so a killed instance never blocks the next start.
//
// A guard whose name is taken means another instance, even if the holder is
// not a Kestrum; the program never goes on without a guard.

#include <sys/types.h>

#include <string>

namespace kestrum {

inline constexpr const char* kInstanceGuardName = "KESTRUM_RUNNING";

class InstanceGuard {
 public:
  enum class Outcome {
    kAcquired,       // this process is the only instance
    kHeldElsewhere,  // another instance runs: end silently
    kUnavailable,    // the system gave no socket: end, since the guard cannot be checked
  };

  // The user's guard; tests pass a name of their own.
  InstanceGuard();
  explicit InstanceGuard(std::string name);
  ~InstanceGuard();

  InstanceGuard(const InstanceGuard&) = delete;
  InstanceGuard& operator=(const InstanceGuard&) = delete;

  // Tests for another instance and takes the guard in one step.
  Outcome Acquire();
  void Release();
  bool Held() const { return fd_ >= 0; }

  // The guard's name for a user: "KESTRUM_RUNNING-<uid>".
  static std::string NameFor(uid_t user);
  // Whether some process holds the guard of that name right now; looks
  // without taking it, so a starting instance is never turned away by it.
  static bool IsHeld(const std::string& name);

 private:
  std::string name_;
  int fd_ = -1;
};

}  // namespace kestrum
