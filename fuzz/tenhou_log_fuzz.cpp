// Arbitrary bytes as "tenholog.txt": read from memory and from a real file,
// the two must agree, and the table must keep what the record dialog relies
// on whatever the file holds.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <unistd.h>

#include "fuzz/FuzzCheck.h"
#include "store/TenhouLogFile.h"
#include "store/TenhouLogReader.h"
#include "store/TenhouLogTable.h"

namespace {

using namespace kestrum;
using fuzz::Require;

void CheckEntry(const TenhouLogEntry& e) {
  Require(e.startTime.size() <= 19 && e.endTime.size() <= 19, "time texts hold at most 19 bytes");
  for (const std::string* text : {&e.handText, &e.runText, &e.totalText, &e.tenhoText, &e.probabilityText,
                                  &e.shortestText, &e.longestText}) {
    Require(text->find('\n') == std::string::npos, "texts carry no line end");
    Require(text->find('\0') == std::string::npos, "texts carry no NUL");
  }
}

// In shared memory: on a disk, a file cut to zero and written again is
// flushed when it is closed (ext4 does so to protect replaced files), which
// held the fuzzer to a few hundred runs a second.
std::string ScratchFile() {
  static char pattern[] = "/dev/shm/kestrum-fuzz-log-XXXXXX";
  const int fd = ::mkstemp(pattern);
  if (fd >= 0) ::close(fd);
  std::atexit([] { ::unlink(pattern); });
  return pattern;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TenhouLogTable& fromText = *new TenhouLogTable;
  static TenhouLogTable& fromFile = *new TenhouLogTable;
  static const std::string file = ScratchFile();

  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const LogReadReport report = ReadTenhouLogText(text, fromText);
  Require(fromText.entryCount >= 0 && fromText.entryCount <= TenhouLogTable::kCapacity, "entry count in range");
  Require(report.entryCount == fromText.entryCount, "report agrees with the table");
  Require(report.byteOffset >= 0 && report.byteOffset <= static_cast<std::int64_t>(size), "offset inside the text");
  for (int i = 0; i < fromText.entryCount; ++i) CheckEntry(fromText.entries[i]);

  if (std::FILE* out = std::fopen(file.c_str(), "wb")) {
    std::fwrite(data, 1, size, out);
    std::fclose(out);
  }
  TenhouLogFile log(fromFile, file);
  log.ReadTenhouLog();
  Require(fromFile.entryCount == fromText.entryCount, "file and memory give as many entries");
  for (int i = 0; i < fromText.entryCount; ++i) Require(fromFile.entries[i] == fromText.entries[i], "same entries");
  return 0;
}
