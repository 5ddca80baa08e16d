// The file calls of os/ against real files in a private folder, as they
// behave on every system the core is built for.

#include "os/Files.h"

#include <gtest/gtest.h>

#include <iterator>

#include "../store/TempDir.h"

namespace kestrum::os {
namespace {

using kestrum::testing::ReadBytes;
using kestrum::testing::TempDir;
using kestrum::testing::WriteBytes;

std::ptrdiff_t EntriesIn(const std::filesystem::path& dir) {
  return std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator());
}

TEST(ReplaceFile, PutsTheNewBytesInPlaceAndLeavesNothingBeside) {
  TempDir dir;
  const auto file = dir / "batch.ckpt";
  ASSERT_EQ(ReplaceFile(file, std::string("first\r\n\0x", 9)), std::nullopt);
  EXPECT_EQ(ReadBytes(file), std::string("first\r\n\0x", 9));
  ASSERT_EQ(ReplaceFile(file, "second"), std::nullopt);
  EXPECT_EQ(ReadBytes(file), "second");
  EXPECT_EQ(EntriesIn(dir.path()), 1);
  EXPECT_EQ(CheckReplaceable(file), std::nullopt);
  EXPECT_EQ(EntriesIn(dir.path()), 1);
}

TEST(ReplaceFile, RefusesAFolderInTheWayAndAFolderThatIsMissing) {
  TempDir dir;
  std::filesystem::create_directory(dir / "taken");
  WriteBytes(dir / "taken" / "inside", "kept");
  EXPECT_TRUE(ReplaceFile(dir / "taken", "x").has_value());
  EXPECT_TRUE(CheckReplaceable(dir / "taken").has_value());
  EXPECT_EQ(ReadBytes(dir / "taken" / "inside"), "kept");
  EXPECT_EQ(EntriesIn(dir.path()), 1);
  EXPECT_TRUE(ReplaceFile(dir / "no-such-folder" / "f", "x").has_value());
  EXPECT_TRUE(CheckReplaceable(dir / "no-such-folder" / "f").has_value());
}

TEST(File, OpensOnlyRegularFilesAndSaysWhyNot) {
  TempDir dir;
  EXPECT_EQ(File::OpenToRead(dir / "missing").Status(), OpenStatus::Missing);
  EXPECT_EQ(File::OpenToAppend(dir / "missing", false).Status(), OpenStatus::Missing);
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
  EXPECT_EQ(File::OpenToRead(dir.path()).Status(), OpenStatus::NotRegular);
  const File folder = File::OpenToAppend(dir.path(), true);
  EXPECT_EQ(folder.Status(), OpenStatus::NotRegular);
  EXPECT_FALSE(folder.Problem().empty());
  const ReadResult read = ReadWholeFile(dir.path());
  EXPECT_EQ(read.status, OpenStatus::NotRegular);
  EXPECT_TRUE(read.bytes.empty());
}

TEST(File, AppendsAtTheEndReadsItsLastByteAndCutsBack) {
  TempDir dir;
  const auto path = dir / "tenholog.txt";
  File made = File::OpenToAppend(path, true);
  ASSERT_TRUE(made.IsOpen());
  EXPECT_TRUE(made.Created());
  EXPECT_EQ(made.Append("abc\r\n"), 5u);
  EXPECT_TRUE(made.Sync());
  File again = File::OpenToAppend(path, true);
  ASSERT_TRUE(again.IsOpen());
  EXPECT_FALSE(again.Created());
  EXPECT_EQ(again.Size(), 5);
  EXPECT_EQ(again.ByteAt(4), '\n');
  EXPECT_EQ(again.ByteAt(5), std::nullopt);
  // Both handles write at the end, wherever the other left it.
  EXPECT_EQ(again.Append("de"), 2u);
  EXPECT_EQ(made.Append("f"), 1u);
  EXPECT_EQ(ReadBytes(path), "abc\r\ndef");
  EXPECT_TRUE(again.TruncateTo(5));
  EXPECT_EQ(ReadBytes(path), "abc\r\n");
  const ReadResult read = ReadWholeFile(path);
  EXPECT_EQ(read.status, OpenStatus::Opened);
  EXPECT_EQ(read.bytes, "abc\r\n");
}

TEST(File, ALockIsHeldAgainstEveryOtherOpening) {
  TempDir dir;
  const auto path = dir / "tenholog.txt";
  File first = File::OpenToAppend(path, true);
  File second = File::OpenToAppend(path, true);
  ASSERT_TRUE(first.TryLock());
  EXPECT_FALSE(second.TryLock());
  EXPECT_TRUE(second.LockIsBusy());
  // The lock never stops the other's writes: it only orders the writers.
  EXPECT_EQ(second.Append("x"), 1u);
  first = File();
  EXPECT_TRUE(second.TryLock());
}

TEST(Paths, NamesInJapaneseReachTheFileSystemWhole) {
  TempDir dir;
  const std::string name = "\xE5\xA4\xA9\xE5\x92\x8C\xE8\xA8\x98\xE9\x8C\xB2.txt";  // 天和記録.txt
  const auto path = dir.path() / PathFromUtf8(name);
  ASSERT_EQ(ReplaceFile(path, "x"), std::nullopt);
  EXPECT_EQ(ReadWholeFile(path).bytes, "x");
  ASSERT_EQ(EntriesIn(dir.path()), 1);
  EXPECT_EQ(Utf8FromPath(std::filesystem::directory_iterator(dir.path())->path().filename()), name);
  EXPECT_EQ(Utf8FromPath(PathFromUtf8(name)), name);
}

TEST(LocalTime, GivesTheCalendarOfTheZone) {
  std::tm parts{};
  ASSERT_TRUE(LocalTime(0, parts));
  // TZ=JST-9 for this program: nine hours east of UTC.
  EXPECT_EQ(parts.tm_year, 70);
  EXPECT_EQ(parts.tm_hour, 9);
}

}  // namespace
}  // namespace kestrum::os
