// What another user can lay in a shared folder, a FIFO or a link, against
// the POSIX file calls: nothing waits on it and nothing is written through it.

#include "os/Files.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "../OrdinaryUser.h"
#include "../store/TempDir.h"

namespace kestrum::os {
namespace {

using kestrum::testing::ReadBytes;
using kestrum::testing::TempDir;
using kestrum::testing::WriteBytes;

TEST(PosixFiles, AFifoIsRefusedWithoutWaitingForAWriter) {
  TempDir dir;
  const auto fifo = dir / "tenholog.txt";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(File::OpenToRead(fifo).Status(), OpenStatus::NotRegular);
  EXPECT_EQ(File::OpenToAppend(fifo, true).Status(), OpenStatus::NotRegular);
  EXPECT_EQ(ReadWholeFile(fifo).status, OpenStatus::NotRegular);
  EXPECT_TRUE(ReplaceFile(fifo, "x").has_value());
  EXPECT_TRUE(std::filesystem::is_fifo(fifo));
}

TEST(PosixFiles, ALinkIsNeverReplaced) {
  TempDir dir;
  const auto yours = dir / "yours";
  WriteBytes(yours, "precious");
  const auto link = dir / "batch.ckpt";
  std::filesystem::create_symlink(yours, link);
  EXPECT_TRUE(ReplaceFile(link, "overwritten").has_value());
  EXPECT_TRUE(CheckReplaceable(link).has_value());
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(yours), "precious");
  // Reading follows it: a link to a regular file is read like the file.
  EXPECT_EQ(ReadWholeFile(link).bytes, "precious");
}

TEST(PosixFiles, ALinkPlantedAtTheOldTemporaryNameIsLeftAlone) {
  TempDir dir;
  const auto yours = dir / "yours";
  WriteBytes(yours, "precious");
  std::filesystem::create_symlink(yours, dir / "batch.ckpt.part");
  ASSERT_EQ(ReplaceFile(dir / "batch.ckpt", "new"), std::nullopt);
  EXPECT_EQ(ReadBytes(dir / "batch.ckpt"), "new");
  EXPECT_EQ(ReadBytes(yours), "precious");
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "batch.ckpt.part"));
}

// A link of the user's own is followed, to a log kept elsewhere; one that
// another user laid in a folder both may write is not, nor one that points
// nowhere yet (it would make the file it names).
TEST(PosixFiles, OnlyTheUsersOwnLinksAreAppendedThrough) {
  TempDir dir;
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  const auto yours = dir / "yours";
  WriteBytes(yours, "a");
  std::filesystem::permissions(yours, std::filesystem::perms::all);
  std::filesystem::create_symlink(yours, dir / "own-link.txt");
  EXPECT_EQ(File::OpenToAppend(dir / "own-link.txt", true).Append("b"), 1u);
  EXPECT_EQ(ReadBytes(yours), "ab");
  EXPECT_TRUE(kestrum::testing::AsOrdinaryUser([&] {
    std::error_code error;
    std::filesystem::create_symlink(yours, dir / "laid.txt", error);
    std::filesystem::create_symlink(dir / "made-through", dir / "dangling.txt", error);
    return !error;
  }));
  if (kestrum::testing::CanActAsAnotherUser()) {
    EXPECT_EQ(File::OpenToAppend(dir / "laid.txt", true).Status(), OpenStatus::NotRegular);
    EXPECT_EQ(File::OpenToAppend(dir / "dangling.txt", true).Status(), OpenStatus::NotRegular);
    EXPECT_FALSE(std::filesystem::exists(dir / "made-through"));
  }
  EXPECT_EQ(ReadBytes(yours), "ab");
}

TEST(PosixFiles, ALogThatMayBeWrittenButNotReadIsStillAppendedTo) {
  TempDir dir;
  std::filesystem::permissions(dir.path(), std::filesystem::perms::all);
  const auto path = dir / "tenholog.txt";
  WriteBytes(path, "a");
  using std::filesystem::perms;
  std::filesystem::permissions(path, perms::owner_write | perms::group_write | perms::others_write);
  EXPECT_TRUE(kestrum::testing::AsOrdinaryUser([&] {
    File file = File::OpenToAppend(path, false);
    return file.IsOpen() && !file.ByteAt(0) && file.Append("b") == 1;
  }));
  std::filesystem::permissions(path, perms::owner_all);
  EXPECT_EQ(ReadBytes(path), "ab");
}

}  // namespace
}  // namespace kestrum::os
