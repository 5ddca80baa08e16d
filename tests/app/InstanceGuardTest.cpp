#include "platform/InstanceGuard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

#include "tests/OrdinaryUser.h"

namespace kestrum {
namespace {

using Outcome = InstanceGuard::Outcome;

// A guard name of each test's own, so that no test meets a Kestrum running
// on this machine, nor another test.
std::string TestGuardName() {
  static int counter = 0;
  return "kestrum-guard-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
}

// Runs body in a child that holds the guard until it is killed.
class GuardHolder {
 public:
  explicit GuardHolder(const std::string& name) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      InstanceGuard guard(name);
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
  ~GuardHolder() { Kill(); }
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

TEST(InstanceGuardTest, SecondInstanceIsRefusedUntilTheFirstLetsGo) {
  const std::string name = TestGuardName();
  InstanceGuard first(name);
  InstanceGuard second(name);
  EXPECT_EQ(first.Acquire(), Outcome::kAcquired);
  EXPECT_EQ(second.Acquire(), Outcome::kHeldElsewhere);
  EXPECT_FALSE(second.Held());
  first.Release();
  EXPECT_EQ(second.Acquire(), Outcome::kAcquired);
}

TEST(InstanceGuardTest, GuardOfAKilledInstanceBlocksNobody) {
  const std::string name = TestGuardName();
  GuardHolder holder(name);
  ASSERT_TRUE(holder.holding());
  InstanceGuard later(name);
  EXPECT_EQ(later.Acquire(), Outcome::kHeldElsewhere);
  EXPECT_TRUE(InstanceGuard::IsHeld(name));
  holder.Kill();
  EXPECT_FALSE(InstanceGuard::IsHeld(name));
  EXPECT_EQ(later.Acquire(), Outcome::kAcquired);
}

// watch asks whether a Kestrum runs while one may be starting: the look
// must not take the guard, not even for a moment.
TEST(InstanceGuardTest, LookingAtTheGuardNeverTakesIt) {
  const std::string name = TestGuardName();
  EXPECT_FALSE(InstanceGuard::IsHeld(name));
  InstanceGuard guard(name);
  EXPECT_EQ(guard.Acquire(), Outcome::kAcquired);
  for (int i = 0; i < 100; ++i) ASSERT_TRUE(InstanceGuard::IsHeld(name));
  guard.Release();
  EXPECT_FALSE(InstanceGuard::IsHeld(name));
}

// A program started from the window (the browser of the home-page command)
// must not keep the guard once Kestrum has ended.
TEST(InstanceGuardTest, AProgramStartedByTheHolderDoesNotInheritTheGuard) {
  const std::string name = TestGuardName();
  {
    InstanceGuard guard(name);
    ASSERT_EQ(guard.Acquire(), Outcome::kAcquired);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      ::execl("/bin/sleep", "sleep", "5", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    guard.Release();
    ::usleep(100 * 1000);  // the exec has happened by now
    EXPECT_FALSE(InstanceGuard::IsHeld(name));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
  }
}

// One guard per user on the machine: the name depends on the user id and
// on nothing in the environment.
TEST(InstanceGuardTest, EachUserHasAGuardOfTheirOwn) {
  EXPECT_EQ(InstanceGuard::NameFor(1000), "KESTRUM_RUNNING-1000");
  EXPECT_NE(InstanceGuard::NameFor(0), InstanceGuard::NameFor(testing::kNobody));
  if (!testing::CanActAsAnotherUser()) GTEST_SKIP() << "only root can start as another user";
  InstanceGuard mine;
  ASSERT_EQ(mine.Acquire(), Outcome::kAcquired);
  EXPECT_TRUE(testing::AsOrdinaryUser([] {
    InstanceGuard theirs;
    return theirs.Acquire() == Outcome::kAcquired && InstanceGuard::IsHeld(InstanceGuard::NameFor(0));
  }));
}

}  // namespace
}  // namespace kestrum
