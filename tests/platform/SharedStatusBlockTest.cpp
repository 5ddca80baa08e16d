// The status block as another program sees it: every byte is read back by a
// second process (status_block_reader) straight from the shared memory.

#include "platform/SharedStatusBlock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "engine/StatusText.h"
#include "engine/Tiles.h"
#include "tests/OrdinaryUser.h"

namespace kestrum {
namespace {

// A name of its own for every test, so that the tests can run side by side.
std::string UniqueName() {
  static std::atomic<int> counter{0};
  return "/kestrum-test-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
}

// The block's bytes as the second process printed them; nullopt when it
// found no block.
std::optional<std::string> ReadInOtherProcess(const std::string& name) {
  const std::string command = std::string(STATUS_BLOCK_READER) + " '" + name + "'";
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return std::nullopt;
  std::string bytes;
  char buffer[1024];
  for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) bytes.append(buffer, got);
  const int status = pclose(pipe);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  return bytes;
}

bool NameExists(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) return false;
  close(fd);
  return true;
}

// Another program's object under the name, of the given size and filled
// with one byte value.
void MakeForeignObject(const std::string& name, std::size_t size, char fill) {
  const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(ftruncate(fd, static_cast<off_t>(size)), 0);
  if (size > 0) {
    void* view = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    ASSERT_NE(view, MAP_FAILED);
    std::memset(view, fill, size);
    munmap(view, size);
  }
  close(fd);
}

std::size_t ObjectSize(const std::string& name) {
  const int fd = shm_open(name.c_str(), O_RDONLY, 0);
  if (fd < 0) return 0;
  struct stat info {};
  fstat(fd, &info);
  close(fd);
  return static_cast<std::size_t>(info.st_size);
}

// 2m 3m 3m 7m 1p 1p 5p 9p 4s 6s East West White Red
constexpr Hand kExampleHand = {2, 3, 3, 7, 10, 10, 14, 18, 22, 24, 28, 30, 32, 34};
const std::string kExampleBytes =
    "0*2m3m3m7m1p1p5p9p4s6s\x93\x8C\x90\xBC\x94\x92\x92\x86+1234";

class SharedStatusBlockTest : public ::testing::Test {
 protected:
  void TearDown() override { shm_unlink(name_.c_str()); }
  std::string name_ = UniqueName();
};

TEST_F(SharedStatusBlockTest, NewBlockIsFiveHundredTwelveZeroBytesForTheUserOnly) {
  SharedStatusBlock block(name_);
  block.Create();
  ASSERT_TRUE(block.IsOpen());

  const auto bytes = ReadInOtherProcess(name_);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(*bytes, std::string(512, '\0'));

  const int fd = shm_open(name_.c_str(), O_RDONLY, 0);
  ASSERT_GE(fd, 0);
  struct stat info {};
  ASSERT_EQ(fstat(fd, &info), 0);
  close(fd);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST_F(SharedStatusBlockTest, GameTextAndItsZeroByteStandAtTheStart) {
  SharedStatusBlock block(name_);
  block.Create();
  const std::string text = StatusText(false, kExampleHand, TileNames(), 1234);
  ASSERT_EQ(text, kExampleBytes);
  ASSERT_EQ(text.size(), 35u);
  block.Write(text);

  const auto bytes = ReadInOtherProcess(name_);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_EQ(bytes->size(), 512u);
  EXPECT_EQ(bytes->substr(0, 36), kExampleBytes + std::string(1, '\0'));
  EXPECT_EQ(bytes->substr(36), std::string(512 - 36, '\0'));
  EXPECT_EQ(ReadStatusBlock(name_), kExampleBytes);
}

TEST_F(SharedStatusBlockTest, ShorterTextLeavesTheTailOfTheOlderOne) {
  SharedStatusBlock block(name_);
  block.Create();
  const Hand hand = kFixedStartHand;
  const std::string longer = StatusText(true, hand, TileNames(), 100);
  const std::string shorter = StatusText(false, hand, TileNames(), 1);
  block.Write(longer);
  block.Write(shorter);
  ASSERT_EQ(shorter.size() + 2, longer.size());

  const auto bytes = ReadInOtherProcess(name_);
  ASSERT_TRUE(bytes.has_value());
  EXPECT_EQ(bytes->substr(0, shorter.size() + 1), shorter + std::string(1, '\0'));
  // "00" of "+100" and the older zero byte are still there.
  EXPECT_EQ(bytes->substr(shorter.size() + 1, 2), "0" + std::string(1, '\0'));
  EXPECT_EQ(bytes->substr(shorter.size() - 2, 2), "+1");
  EXPECT_EQ(ReadStatusBlock(name_), shorter);
}

// The guard is held when the program creates its block, so a block of this
// user under the name is what an instance that died left behind: whatever
// its size and text, the next start begins with 512 zero bytes in the same
// object (a reader holding it sees the new games), and removes it at exit.
TEST_F(SharedStatusBlockTest, LeftoverBlockOfThisUserIsTakenOverAsZeroBytes) {
  for (const std::size_t size : {std::size_t{0}, std::size_t{16}, std::size_t{512}, std::size_t{4096}}) {
    SCOPED_TRACE(size);
    MakeForeignObject(name_, size, 'x');
    const StatusBlockSnapshot leftover = SnapshotStatusBlock(name_);
    SharedStatusBlock block(name_);
    block.Create();
    ASSERT_TRUE(block.IsOpen());
    EXPECT_EQ(ReadInOtherProcess(name_), std::string(512, '\0'));
    block.Write(kExampleBytes);
    EXPECT_EQ(ReadStatusBlock(name_), kExampleBytes);
    EXPECT_EQ(SnapshotStatusBlock(name_).identity, leftover.identity);
    block.Close();
    EXPECT_FALSE(NameExists(name_));
  }
}

TEST_F(SharedStatusBlockTest, BlockShrunkByAnotherProcessCostsTextsNotTheProcess) {
  SharedStatusBlock block(name_);
  block.Create();
  const pid_t shrinker = fork();
  ASSERT_GE(shrinker, 0);
  if (shrinker == 0) {
    const int fd = shm_open(name_.c_str(), O_RDWR, 0);
    for (;;) {
      (void)!ftruncate(fd, 0);
      (void)!ftruncate(fd, 7);
      (void)!ftruncate(fd, 512);
    }
  }
  const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
  int writes = 0;
  while (std::chrono::steady_clock::now() < until) {
    block.Write(kExampleBytes);
    (void)SnapshotStatusBlock(name_);  // the follower's read meets the same
    ++writes;
  }
  kill(shrinker, SIGKILL);
  waitpid(shrinker, nullptr, 0);
  block.Write(kExampleBytes);
  EXPECT_EQ(ReadStatusBlock(name_), kExampleBytes);
  EXPECT_GT(writes, 100);
}

TEST_F(SharedStatusBlockTest, CloseRemovesTheNameButAReaderKeepsItsView) {
  SharedStatusBlock block(name_);
  block.Create();
  block.Write(kExampleBytes);
  const int readerFd = shm_open(name_.c_str(), O_RDONLY, 0);
  ASSERT_GE(readerFd, 0);
  void* view = mmap(nullptr, 512, PROT_READ, MAP_SHARED, readerFd, 0);
  ASSERT_NE(view, MAP_FAILED);

  block.Close();
  EXPECT_FALSE(NameExists(name_));
  EXPECT_FALSE(ReadInOtherProcess(name_).has_value());
  EXPECT_EQ(std::string(static_cast<const char*>(view), 35), kExampleBytes);
  block.Write("0*after+1");  // closed: nothing happens
  munmap(view, 512);
  close(readerFd);
}

TEST_F(SharedStatusBlockTest, CloseLeavesABlockThatWasCreatedAnewUnderTheName) {
  SharedStatusBlock block(name_);
  block.Create();
  shm_unlink(name_.c_str());
  MakeForeignObject(name_, 512, 'z');
  block.Close();
  EXPECT_TRUE(NameExists(name_));
  EXPECT_EQ(ReadInOtherProcess(name_), std::string(512, 'z'));
}

TEST_F(SharedStatusBlockTest, BlockThatCannotBeCreatedIsSilent) {
  SharedStatusBlock block("/kestrum/no-such-folder");
  block.Create();
  EXPECT_FALSE(block.IsOpen());
  block.Write(kExampleBytes);
  block.Close();
  EXPECT_FALSE(ReadStatusBlock("/kestrum/no-such-folder").has_value());
}

TEST_F(SharedStatusBlockTest, ReaderNeverCreatesABlock) {
  EXPECT_FALSE(ReadStatusBlock(name_).has_value());
  EXPECT_EQ(SnapshotStatusBlock(name_).state, StatusBlockState::kMissing);
  EXPECT_FALSE(NameExists(name_));
}

TEST_F(SharedStatusBlockTest, BlockCreatedAnewHasANewIdentity) {
  SharedStatusBlock first(name_);
  first.Create();
  const auto before = SnapshotStatusBlock(name_);
  first.Close();
  SharedStatusBlock second(name_);
  second.Create();
  const auto after = SnapshotStatusBlock(name_);
  ASSERT_EQ(before.state, StatusBlockState::kPresent);
  ASSERT_EQ(after.state, StatusBlockState::kPresent);
  EXPECT_NE(before.identity, after.identity);
  EXPECT_EQ(after.owner, geteuid());
}

// What may stand under the name in a directory every user can write to.
// None of it is used, changed or removed, none of it blocks, and the games
// go on without a text.
enum class Squatter { kGroupWritable, kOthersWritable, kOtherUsers, kDirectory, kFifo, kSymbolicLink };

struct SquatterCase {
  Squatter squatter;
  const char* label;
  StatusBlockState readerSees;
};

std::string ShmPath(const std::string& name) { return "/dev/shm" + name; }

// Makes the squatter; false when this process cannot (another user's
// object needs root).
bool MakeSquatter(Squatter squatter, const std::string& name, const std::string& spare) {
  const std::string path = ShmPath(name);
  switch (squatter) {
    case Squatter::kGroupWritable:
    case Squatter::kOthersWritable: {
      const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
      if (fd < 0) return false;
      const bool made = ftruncate(fd, 512) == 0 && fchmod(fd, squatter == Squatter::kGroupWritable ? 0620 : 0666) == 0;
      close(fd);
      return made;
    }
    case Squatter::kOtherUsers:
      if (!testing::CanActAsAnotherUser()) return false;
      return testing::AsOrdinaryUser([&] {
        const int fd = shm_open(name.c_str(), O_RDWR | O_CREAT | O_EXCL, 0644);
        return fd >= 0 && ftruncate(fd, 512) == 0;
      });
    case Squatter::kDirectory: return mkdir(path.c_str(), 0700) == 0;
    case Squatter::kFifo: return mkfifo(path.c_str(), 0600) == 0;
    case Squatter::kSymbolicLink: {
      const int fd = shm_open(spare.c_str(), O_RDWR | O_CREAT | O_EXCL, 0600);
      if (fd < 0) return false;
      close(fd);
      return symlink(ShmPath(spare).c_str(), path.c_str()) == 0;
    }
  }
  return false;
}

struct stat LstatOf(const std::string& path) {
  struct stat info {};
  lstat(path.c_str(), &info);
  return info;
}

class SquatterTest : public ::testing::TestWithParam<SquatterCase> {
 protected:
  void TearDown() override {
    const std::string path = ShmPath(name_);
    if (rmdir(path.c_str()) != 0) unlink(path.c_str());
    shm_unlink(spare_.c_str());
  }
  std::string name_ = UniqueName();
  std::string spare_ = UniqueName();
};

TEST_P(SquatterTest, IsNeitherUsedNorChangedNorRemoved) {
  if (!MakeSquatter(GetParam().squatter, name_, spare_)) GTEST_SKIP() << "only root can make another user's object";
  const struct stat before = LstatOf(ShmPath(name_));
  {
    SharedStatusBlock block(name_);
    block.Create();
    EXPECT_FALSE(block.IsOpen());
    block.Write(kExampleBytes);
  }  // closed here: must neither hang nor remove the name
  const struct stat after = LstatOf(ShmPath(name_));
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(after.st_mode, before.st_mode);
  EXPECT_EQ(after.st_size, before.st_size);
  EXPECT_EQ(SnapshotStatusBlock(name_).state, GetParam().readerSees);
  if (GetParam().squatter == Squatter::kSymbolicLink) {
    EXPECT_EQ(ObjectSize(spare_), 0u);
  }
}

INSTANTIATE_TEST_SUITE_P(
    UnderTheName, SquatterTest,
    ::testing::Values(SquatterCase{Squatter::kGroupWritable, "GroupWritable", StatusBlockState::kPresent},
                      SquatterCase{Squatter::kOthersWritable, "OthersWritable", StatusBlockState::kPresent},
                      SquatterCase{Squatter::kOtherUsers, "OtherUsers", StatusBlockState::kPresent},
                      SquatterCase{Squatter::kDirectory, "Directory", StatusBlockState::kNotABlock},
                      SquatterCase{Squatter::kFifo, "Fifo", StatusBlockState::kNotABlock},
                      SquatterCase{Squatter::kSymbolicLink, "SymbolicLink", StatusBlockState::kNotABlock}),
    [](const ::testing::TestParamInfo<SquatterCase>& param) { return std::string(param.param.label); });

TEST_F(SharedStatusBlockTest, BlockOfAnotherUserThatMayNotBeReadIsToldApart) {
  SharedStatusBlock block(name_);
  block.Create();
  block.Write(kExampleBytes);
  EXPECT_TRUE(testing::AsOrdinaryUser([&] {
    if (!testing::CanActAsAnotherUser()) chmod(ShmPath(name_).c_str(), 0);
    return SnapshotStatusBlock(name_).state == StatusBlockState::kDenied && !ReadStatusBlock(name_).has_value();
  }));
}

// The one test under the real name; it stays away when a Kestrum on this
// machine holds the block right now.
TEST(SharedStatusBlockRealName, KestrumSoftIsCreatedWrittenAndRemoved) {
  const std::string name = "/KESTRUM SOFT";
  if (NameExists(name)) GTEST_SKIP() << "a running Kestrum holds the status block";
  {
    SharedStatusBlock block;
    block.Create();
    block.Write(kExampleBytes);
    EXPECT_EQ(ReadInOtherProcess(name)->substr(0, 36), kExampleBytes + '\0');
  }
  EXPECT_FALSE(NameExists(name));
}

}  // namespace
}  // namespace kestrum
