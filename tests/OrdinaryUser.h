#pragma once
// Permissions do not bind root, and CI runs as root. Tests that need an
// ordinary user (a read-only directory, another user's file) run that part
// in a child process that has dropped to nobody/nogroup, as
// `setpriv --reuid=nobody --regid=nogroup --clear-groups` would.

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

namespace kestrum::testing {

inline constexpr uid_t kNobody = 65534;
inline constexpr gid_t kNoGroup = 65534;

// Whether this process may become another user.
inline bool CanActAsAnotherUser() { return ::geteuid() == 0; }

// Runs body as an ordinary user: as root in a child process that has become
// nobody (the child ends with _exit, so nothing of the test's own state is
// torn down twice), else right here. True when body returned true.
inline bool AsOrdinaryUser(const std::function<bool()>& body) {
  if (!CanActAsAnotherUser()) return body();
  const pid_t child = ::fork();
  if (child < 0) return false;
  if (child == 0) {
    const bool dropped = ::setgroups(0, nullptr) == 0 && ::setresgid(kNoGroup, kNoGroup, kNoGroup) == 0 &&
                         ::setresuid(kNobody, kNobody, kNobody) == 0;
    ::_exit(dropped && body() ? 0 : 1);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Lets nobody into a test's own directory (when the test runs as root).
inline void HandToOrdinaryUser(const std::filesystem::path& path) {
  (void)::chown(path.c_str(), kNobody, kNoGroup);
}

}  // namespace kestrum::testing
