#include "platform/InstanceGuard.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrum {
namespace {

using Outcome = InstanceGuard::Outcome;

class InstanceGuardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/kestrum-guard-test-XXXXXX";
    dir_ = ::mkdtemp(pattern);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::permissions(dir_, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(dir_, ignored);
  }
  std::filesystem::path dir_;
};

TEST_F(InstanceGuardTest, SecondInstanceIsRefusedUntilTheFirstLetsGo) {
  InstanceGuard first(dir_);
  InstanceGuard second(dir_);
  EXPECT_EQ(first.Acquire(), Outcome::kAcquired);
  EXPECT_EQ(second.Acquire(), Outcome::kHeldElsewhere);
  EXPECT_FALSE(second.Held());
  first.Release();
  EXPECT_EQ(second.Acquire(), Outcome::kAcquired);
  EXPECT_TRUE(std::filesystem::exists(dir_ / kInstanceGuardName));
}

TEST_F(InstanceGuardTest, GuardOfAKilledInstanceBlocksNobody) {
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  ASSERT_GE(holder, 0);
  if (holder == 0) {
    InstanceGuard guard(dir_);
    const char ok = guard.Acquire() == Outcome::kAcquired ? 'y' : 'n';
    (void)!::write(ready[1], &ok, 1);
    ::pause();
    ::_exit(0);
  }
  char ok = 0;
  ASSERT_EQ(::read(ready[0], &ok, 1), 1);
  ASSERT_EQ(ok, 'y');
  InstanceGuard later(dir_);
  EXPECT_EQ(later.Acquire(), Outcome::kHeldElsewhere);
  ::kill(holder, SIGKILL);
  int status = 0;
  ::waitpid(holder, &status, 0);
  EXPECT_EQ(later.Acquire(), Outcome::kAcquired);
  ::close(ready[0]);
  ::close(ready[1]);
}

TEST_F(InstanceGuardTest, DirectoryOthersCanWriteOrALinkIsNotTrusted) {
  const std::filesystem::path open = dir_ / "open";
  std::filesystem::create_directory(open);
  ::chmod(open.c_str(), 0777);
  EXPECT_EQ(InstanceGuard(open).Acquire(), Outcome::kUnavailable);

  const std::filesystem::path link = dir_ / "link";
  std::filesystem::create_directory(dir_ / "real");
  ::chmod((dir_ / "real").c_str(), 0700);
  std::filesystem::create_directory_symlink(dir_ / "real", link);
  EXPECT_EQ(InstanceGuard(link).Acquire(), Outcome::kUnavailable);
}

TEST_F(InstanceGuardTest, MissingDirectoryIsMadePrivate) {
  const std::filesystem::path fresh = dir_ / "fresh";
  InstanceGuard guard(fresh);
  EXPECT_EQ(guard.Acquire(), Outcome::kAcquired);
  struct stat info {};
  ASSERT_EQ(::stat(fresh.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(InstanceGuardTest, DefaultDirectoryIsThePrivateRuntimeDirectory) {
  const char* saved = std::getenv("XDG_RUNTIME_DIR");
  const std::string restore = saved ? saved : "";
  ::chmod(dir_.c_str(), 0700);
  ::setenv("XDG_RUNTIME_DIR", dir_.c_str(), 1);
  EXPECT_EQ(InstanceGuard::DefaultGuardDirectory(), dir_);
  const std::filesystem::path fallback = "/tmp/kestrum-" + std::to_string(::getuid());
  ::chmod(dir_.c_str(), 0777);
  EXPECT_EQ(InstanceGuard::DefaultGuardDirectory(), fallback);
  ::unsetenv("XDG_RUNTIME_DIR");
  EXPECT_EQ(InstanceGuard::DefaultGuardDirectory(), fallback);
  if (saved) ::setenv("XDG_RUNTIME_DIR", restore.c_str(), 1);
}

}  // namespace
}  // namespace kestrum
