// What another user who may write a shared folder, or a damaged file, can do
// to kestrum-sim's files, through the real program: links laid where it
// writes, FIFOs where it reads or appends, a log cut mid-line, a store that
// is junk. A program that would block on a FIFO is stopped by timeout(1)
// after 20 s, which then shows as exit 124.

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "ProcessRun.h"
#include "RunTestSupport.h"

namespace kestrum::test {
namespace {

ProcessResult RunSimBounded(const std::vector<std::string>& args) {
  std::vector<std::string> bounded{"20", KESTRUM_SIM};
  bounded.insert(bounded.end(), args.begin(), args.end());
  return RunProgram("/usr/bin/timeout", bounded);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class FileSafety : public FolderTest {
 protected:
  void SetUp() override {
    FolderTest::SetUp();
    yours_ = Path("yours");
    WriteFile(yours_, "precious");
  }
  std::string yours_;
};

TEST_F(FileSafety, LinksLaidAtTheNamesOfTemporaryFilesAreNeverWrittenThrough) {
  for (const char* name : {"batch.ckpt.part", "rate.svg.part", "batch.ckpt.tmp", "rate.svg.tmp"})
    std::filesystem::create_symlink(yours_, Path(name));
  const ProcessResult run = RunSimBounded({"run", "--games", "3000", "--seed", "5", "--threads", "1", "--checkpoint",
                                           Path("batch.ckpt"), "--plot", Path("rate.svg")});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(Slurp(yours_), "precious");
  EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(Path("batch.ckpt"))));
  EXPECT_TRUE(Contains(Slurp(Path("rate.svg")), "<svg"));
  EXPECT_TRUE(std::filesystem::is_symlink(Path("batch.ckpt.part")));
  // Only the files themselves, the links and yours: no temporary file left.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), std::filesystem::directory_iterator()), 7);
}

TEST_F(FileSafety, ALinkInPlaceOfTheCheckpointOrThePlotIsRefusedAndLeftAlone) {
  std::filesystem::create_symlink(yours_, Path("batch.ckpt"));
  const ProcessResult checkpoint =
      RunSimBounded({"run", "--games", "1024", "--seed", "5", "--checkpoint", Path("batch.ckpt")});
  EXPECT_EQ(checkpoint.exitCode, 1) << checkpoint.err;
  EXPECT_TRUE(Contains(checkpoint.err, "link")) << checkpoint.err;

  std::filesystem::create_symlink(yours_, Path("rate.svg"));
  const ProcessResult plot = RunSimBounded({"run", "--games", "1024", "--seed", "5", "--plot", Path("rate.svg")});
  EXPECT_EQ(plot.exitCode, 2) << plot.err;
  EXPECT_TRUE(Contains(plot.err, "not a regular file")) << plot.err;
  EXPECT_EQ(Slurp(yours_), "precious");
  EXPECT_TRUE(std::filesystem::is_symlink(Path("rate.svg")));
}

TEST_F(FileSafety, AFifoAtTheLogOrTheCheckpointIsRefusedAtOnce) {
  ASSERT_EQ(::mkfifo(Path("log.fifo").c_str(), 0600), 0);
  ASSERT_EQ(::mkfifo(Path("ckpt.fifo").c_str(), 0600), 0);
  const ProcessResult log = RunSimBounded({"run", "--games", "1024", "--log", Path("log.fifo")});
  EXPECT_EQ(log.exitCode, 2) << log.err;
  EXPECT_TRUE(Contains(log.err, "not a regular file")) << log.err;
  const ProcessResult checkpoint =
      RunSimBounded({"run", "--games", "1024", "--seed", "5", "--checkpoint", Path("ckpt.fifo")});
  EXPECT_EQ(checkpoint.exitCode, 2) << checkpoint.err;
  EXPECT_TRUE(Contains(checkpoint.err, "not a regular file")) << checkpoint.err;
  const ProcessResult read = RunSimBounded({"log", Path("log.fifo")});
  EXPECT_EQ(read.exitCode, 1) << read.err;
  EXPECT_TRUE(std::filesystem::is_fifo(Path("log.fifo")));
}

// The last line cut by another writer's crash, with or without its CR: the
// batch's entry starts on a line of its own, and reads back whole once the
// broken lines are deleted.
TEST_F(FileSafety, AnEntryAfterALogCutMidLineStartsOnAFreshLine) {
  for (const std::string cut : {"[\x93\x56\x98\x61\x8A\x6D\x97\xA6] 0.39", "+ 12\r"}) {
    const std::string log = Path("tenholog.txt");
    WriteFile(log, cut);
    const ProcessResult run =
        RunSimBounded({"run", "--threads", "1", "--tenhou", "1", "--seed", kEarlySeed, "--log", log});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string bytes = Slurp(log);
    ASSERT_EQ(bytes.substr(0, cut.size() + 8), cut + "\r\n===== ");
    WriteFile(Path("mended.txt"), bytes.substr(bytes.find("\n") + 1));
    const ProcessResult mended = RunSimBounded({"log", Path("mended.txt"), "--json"});
    EXPECT_EQ(mended.exitCode, 0) << mended.err;
    EXPECT_EQ(mended.err, "");
    EXPECT_TRUE(Contains(mended.out, "\"number\": 1")) << mended.out;
  }
}

TEST_F(FileSafety, LogAndRecordsSayWhatIsWrongAndExitOne) {
  const ProcessResult missing = RunSimBounded({"log", Path("none.txt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_TRUE(Contains(missing.err, "none.txt")) << missing.err;
  const ProcessResult folder = RunSimBounded({"log", dir_.string()});
  EXPECT_EQ(folder.exitCode, 1);
  EXPECT_TRUE(Contains(folder.err, "not a regular file")) << folder.err;

  WriteFile(Path("junk.conf"), std::string("\x7f" "ELF\x02\x01\x01\0\0\0", 10));
  WriteFile(Path("text.conf"), "this is a letter,\nnot a store\n");
  for (const char* junk : {"junk.conf", "text.conf"}) {
    const ProcessResult records = RunSimBounded({"records", "--file", Path(junk)});
    EXPECT_EQ(records.exitCode, 1) << junk;
    EXPECT_TRUE(Contains(records.err, "not a settings file")) << records.err;
    EXPECT_EQ(records.out, "");
  }
  const ProcessResult records = RunSimBounded({"records", "--file", dir_.string()});
  EXPECT_EQ(records.exitCode, 1);
  EXPECT_TRUE(Contains(records.err, "not a regular file")) << records.err;
  // A store not made yet is a fresh profile: the defaults, and success.
  EXPECT_EQ(RunSimBounded({"records", "--file", Path("fresh.conf")}).exitCode, 0);
  WriteFile(Path("ok.conf"), "; kept by hand\n[RECORD]\r\nTOTALCNT=5\n\n[SETTING]\nSPEED = 3\n");
  EXPECT_EQ(RunSimBounded({"records", "--file", Path("ok.conf")}).exitCode, 0);
}

}  // namespace
}  // namespace kestrum::test
