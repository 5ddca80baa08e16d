#include "win32/MappedStatusBlock.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum::win32 {
namespace {

// The block as another program sees it: opened by name, all 512 bytes.
std::string ReadBlock(const char* name) {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, name);
  if (mapping == nullptr) return "missing";
  const void* view = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, kStatusBlockSize);
  std::string bytes = view ? std::string(static_cast<const char*>(view), kStatusBlockSize) : "unmapped";
  if (view) UnmapViewOfFile(view);
  CloseHandle(mapping);
  return bytes;
}

constexpr const char* kName = "KESTRUM SOFT test";

TEST(MappedStatusBlock, ANewBlockIsZeroAndEachTextEndsInAZeroByte) {
  MappedStatusBlock block(kName);
  block.Create();
  ASSERT_TRUE(block.IsOpen());
  EXPECT_EQ(ReadBlock(kName), std::string(kStatusBlockSize, '\0'));
  block.Write("0*2m3m3m7m1p1p5p9p4s6s\x93\x8C\x90\xBC\x94\x92\x92\x86+1234");
  std::string bytes = ReadBlock(kName);
  EXPECT_EQ(bytes.substr(0, 36), std::string("0*2m3m3m7m1p1p5p9p4s6s\x93\x8C\x90\xBC\x94\x92\x92\x86+1234\0", 36));
  // A shorter text leaves the tail of the longer one behind its zero byte.
  block.Write("0*1m1m1m2m3m4m5m6m7m8m9m9m9m1m+1");
  bytes = ReadBlock(kName);
  EXPECT_EQ(bytes.substr(0, 36), std::string("0*1m1m1m2m3m4m5m6m7m8m9m9m9m1m+1\0" "34", 35) + '\0');
}

TEST(MappedStatusBlock, ASecondCreatorOpensTheSameBlockAndCloseLetsItGo) {
  MappedStatusBlock first(kName);
  first.Create();
  MappedStatusBlock second(kName);
  second.Create();
  second.Write("1*x+7");
  EXPECT_EQ(ReadBlock(kName).substr(0, 6), std::string("1*x+7\0", 6));
  first.Close();
  second.Close();
  EXPECT_EQ(ReadBlock(kName), "missing");
  second.Write("ignored");  // a closed block takes no text and does not fail
}

TEST(MappedStatusBlock, ATextTooLongForTheBlockIsCutInsideIt) {
  MappedStatusBlock block(kName);
  block.Create();
  block.Write(std::string(600, '7'));
  const std::string bytes = ReadBlock(kName);
  EXPECT_EQ(bytes.substr(0, 511), std::string(511, '7'));
  EXPECT_EQ(bytes[511], '\0');
}

}  // namespace
}  // namespace kestrum::win32
