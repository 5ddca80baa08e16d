#include "platform/InstanceGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "tests/OrdinaryUser.h"

namespace kestrum {
namespace {

using Outcome = InstanceGuard::Outcome;

// A folder of each test's own, standing in for the store's folder and for
// /dev/shm, so that no test meets a Kestrum running on this machine.
class InstanceGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "kestrum-guard-XXXXXX").string();
    dir_ = ::mkdtemp(pattern.data());
    ::chmod(dir_.c_str(), 01777);  // like /dev/shm: anyone may make files here
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Own() const { return (dir_ / "store" / kInstanceGuardName).string(); }
  std::string Shared() const { return (dir_ / "KESTRUM_RUNNING-test").string(); }
  std::filesystem::path dir_;
};

// Holds a lock on a file in a child (as nobody when asked) until killed.
class LockHolder {
 public:
  LockHolder(const std::string& ownFile, const std::string& sharedFile, bool asNobody = false) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      if (asNobody) {
        (void)!::setgroups(0, nullptr);
        (void)!::setresgid(testing::kNoGroup, testing::kNoGroup, testing::kNoGroup);
        (void)!::setresuid(testing::kNobody, testing::kNobody, testing::kNobody);
      }
      InstanceGuard guard(ownFile, sharedFile);
      const char ok = guard.Acquire() == Outcome::kAcquired ? 'y' : 'n';
      (void)!::write(ready[1], &ok, 1);
      ::pause();
      ::_exit(0);
    }
    char ok = 0;
    holding_ = ::read(ready[0], &ok, 1) == 1 && ok == 'y';
    ::close(ready[0]);
    ::close(ready[1]);
  }
  ~LockHolder() { Kill(); }
  bool holding() const { return holding_; }
  void Kill() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};

TEST_F(InstanceGuardTest, SecondInstanceIsRefusedUntilTheFirstLetsGo) {
  InstanceGuard first(Own(), Shared());
  InstanceGuard second(Own(), Shared());
  EXPECT_EQ(first.Acquire(), Outcome::kAcquired);
  EXPECT_EQ(second.Acquire(), Outcome::kHeldElsewhere);
  EXPECT_FALSE(second.Held());
  first.Release();
  EXPECT_EQ(second.Acquire(), Outcome::kAcquired);
  // Either file alone is enough to refuse: another store, the same machine.
  InstanceGuard otherStore((dir_ / "other" / kInstanceGuardName).string(), Shared());
  EXPECT_EQ(otherStore.Acquire(), Outcome::kHeldElsewhere);
  InstanceGuard sameStoreOnly(Own());
  EXPECT_EQ(sameStoreOnly.Acquire(), Outcome::kHeldElsewhere);
  // The store's folder of a fresh profile is made, for its owner alone.
  EXPECT_EQ(std::filesystem::status(dir_ / "store").permissions(), std::filesystem::perms::owner_all);
}

TEST_F(InstanceGuardTest, GuardOfAKilledInstanceBlocksNobody) {
  LockHolder holder(Own(), Shared());
  ASSERT_TRUE(holder.holding());
  InstanceGuard later(Own(), Shared());
  EXPECT_EQ(later.Acquire(), Outcome::kHeldElsewhere);
  EXPECT_EQ(InstanceGuard::IsHeld(Own()), true);
  EXPECT_EQ(InstanceGuard::IsHeld(Shared()), true);
  holder.Kill();
  EXPECT_EQ(InstanceGuard::IsHeld(Own()), false);
  EXPECT_EQ(later.Acquire(), Outcome::kAcquired);
}

// watch asks whether a Kestrum runs while one may be starting: the look
// must not take the guard, not even for a moment.
TEST_F(InstanceGuardTest, LookingAtTheGuardNeverTakesIt) {
  EXPECT_EQ(InstanceGuard::IsHeld(Shared()), false);
  InstanceGuard guard(Own(), Shared());
  EXPECT_EQ(guard.Acquire(), Outcome::kAcquired);
  for (int i = 0; i < 100; ++i) ASSERT_EQ(InstanceGuard::IsHeld(Shared()), true);
  guard.Release();
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(InstanceGuard::IsHeld(Shared()), false);
    InstanceGuard again(Own(), Shared());
    ASSERT_EQ(again.Acquire(), Outcome::kAcquired);
  }
}

// Fifty starts at the same moment: exactly one window.
TEST_F(InstanceGuardTest, FiftySimultaneousStartsLeaveOneHolder) {
  constexpr int kStarts = 50;
  int go[2];
  int told[2];
  ASSERT_EQ(::pipe(go), 0);
  ASSERT_EQ(::pipe(told), 0);
  std::vector<pid_t> children;
  for (int i = 0; i < kStarts; ++i) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::close(go[1]);
      ::close(told[0]);
      char byte = 0;
      (void)!::read(go[0], &byte, 1);  // all wait here until the pipe closes
      InstanceGuard guard(Own(), Shared());
      const Outcome outcome = guard.Acquire();
      const char result = outcome == Outcome::kAcquired ? 'y' : outcome == Outcome::kHeldElsewhere ? 'n' : '?';
      (void)!::write(told[1], &result, 1);
      if (outcome == Outcome::kAcquired) ::pause();
      ::_exit(0);
    }
    children.push_back(child);
  }
  ::close(go[0]);
  ::close(go[1]);
  ::close(told[1]);
  std::string results;
  char result = 0;
  while (results.size() < kStarts && ::read(told[0], &result, 1) == 1) results += result;
  ::close(told[0]);
  for (const pid_t child : children) {
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
  EXPECT_EQ(results.size(), static_cast<std::size_t>(kStarts));
  EXPECT_EQ(std::count(results.begin(), results.end(), 'y'), 1) << results;
  EXPECT_EQ(std::count(results.begin(), results.end(), 'n'), kStarts - 1) << results;
}

// A program started from the window (the browser of the home-page command)
// must not keep the guard once Kestrum has ended.
TEST_F(InstanceGuardTest, AProgramStartedByTheHolderDoesNotInheritTheGuard) {
  InstanceGuard guard(Own(), Shared());
  ASSERT_EQ(guard.Acquire(), Outcome::kAcquired);
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    ::execl("/bin/sleep", "sleep", "5", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  guard.Release();
  ::usleep(100 * 1000);  // the exec has happened by now
  EXPECT_EQ(InstanceGuard::IsHeld(Own()), false);
  EXPECT_EQ(InstanceGuard::IsHeld(Shared()), false);
  ::kill(child, SIGKILL);
  ::waitpid(child, nullptr, 0);
}

// What stands under the name beside the store must be the user's own file;
// a link, a FIFO (no hang) or a folder there stops the start with a reason.
TEST_F(InstanceGuardTest, AnythingButTheUsersOwnFileBesideTheStoreIsRefused) {
  std::filesystem::create_directories(dir_ / "store");
  const std::string target = (dir_ / "target").string();
  ASSERT_EQ(::symlink(target.c_str(), Own().c_str()), 0);
  InstanceGuard linked(Own(), Shared());
  EXPECT_EQ(linked.Acquire(), Outcome::kUnavailable);
  EXPECT_NE(linked.Problem().find(Own()), std::string::npos) << linked.Problem();
  EXPECT_FALSE(std::filesystem::exists(target));
  ::unlink(Own().c_str());
  ASSERT_EQ(::mkfifo(Own().c_str(), 0600), 0);
  EXPECT_EQ(InstanceGuard(Own(), Shared()).Acquire(), Outcome::kUnavailable);
  EXPECT_FALSE(InstanceGuard::IsHeld(Own()).value_or(false));
  ::unlink(Own().c_str());
  ASSERT_EQ(::mkdir(Own().c_str(), 0700), 0);
  EXPECT_EQ(InstanceGuard(Own(), Shared()).Acquire(), Outcome::kUnavailable);
}

// A read-only store folder (permissions bind only an ordinary user) takes
// no guard file, nor any save: the machine-wide file guards alone.
TEST_F(InstanceGuardTest, AReadOnlyStoreFolderLeavesTheMachineWideFileToGuard) {
  std::filesystem::create_directories(dir_ / "store");
  testing::HandToOrdinaryUser(dir_ / "store");
  ::chmod((dir_ / "store").c_str(), 0500);
  const std::string own = Own();
  const std::string shared = Shared();
  EXPECT_TRUE(testing::AsOrdinaryUser([&] {
    InstanceGuard first(own, shared);
    InstanceGuard second(own, shared);
    return first.Acquire() == Outcome::kAcquired && second.Acquire() == Outcome::kHeldElsewhere &&
           !std::filesystem::exists(own);
  }));
  ::chmod((dir_ / "store").c_str(), 0700);
}

// Another user may make the machine-wide file first and hold a lock on it:
// it is not this user's guard and keeps nobody from starting. Nor can that
// user take this user's guard, having no way to open its files.
TEST_F(InstanceGuardTest, AnotherUserCanNeitherHoldNorBlockTheGuard) {
  EXPECT_EQ(InstanceGuard::MachineFileFor(1000), "/dev/shm/KESTRUM_RUNNING-1000");
  EXPECT_EQ(InstanceGuard::FileBesideStore("/home/u/.config/Org/kestrum.conf"), "/home/u/.config/Org/KESTRUM_RUNNING");
  if (!testing::CanActAsAnotherUser()) GTEST_SKIP() << "only root can start as another user";
  const std::string theirs = (dir_ / "theirs" / kInstanceGuardName).string();
  std::filesystem::create_directories(dir_ / "theirs");
  testing::HandToOrdinaryUser(dir_ / "theirs");
  LockHolder squatter(theirs, Shared(), true);
  ASSERT_TRUE(squatter.holding());
  struct stat info {};
  ASSERT_EQ(::stat(Shared().c_str(), &info), 0);
  ASSERT_EQ(info.st_uid, testing::kNobody);

  InstanceGuard mine(Own(), Shared());
  EXPECT_EQ(mine.Acquire(), Outcome::kAcquired);
  const std::string own = Own();
  EXPECT_TRUE(testing::AsOrdinaryUser([&] {
    InstanceGuard intruder(own);
    return intruder.Acquire() == Outcome::kUnavailable && !InstanceGuard::IsHeld(own).has_value();
  }));
  EXPECT_EQ(mine.Acquire(), Outcome::kAcquired);
}

}  // namespace
}  // namespace kestrum
