// Arbitrary bytes as the status block that `kestrum-sim watch` follows: the
// reader takes at most 512 of them, a text it parses is exactly one the
// writer could have made, and what reaches the terminal carries no control
// character.

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <QChar>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/StatusText.h"
#include "fuzz/FuzzCheck.h"
#include "platform/SharedStatusBlock.h"
#include "platform/ShiftJisText.h"
#include "platform/TerminalText.h"

namespace {

using namespace kestrum;
using fuzz::Require;

bool ObeyedByTerminals(char32_t code) {
  const QChar::Category category = QChar::category(code);
  return category == QChar::Other_Control || category == QChar::Other_Format ||
         category == QChar::Separator_Line || category == QChar::Separator_Paragraph ||
         category == QChar::Other_Surrogate;
}

void CheckShown(const QString& shown) {
  for (qsizetype i = 0; i < shown.size(); ++i) {
    const QChar c = shown.at(i);
    if (c.isHighSurrogate() && i + 1 < shown.size() && shown.at(i + 1).isLowSurrogate()) {
      Require(!ObeyedByTerminals(QChar::surrogateToUcs4(c, shown.at(i + 1))), "no control beyond the BMP");
      ++i;
      continue;
    }
    Require(!ObeyedByTerminals(c.unicode()), "no control character reaches the terminal");
  }
}

// A block of this process's own, rewritten for every input.
const std::string& BlockName() {
  static const std::string name = "/kestrum-fuzz-status-" + std::to_string(::getpid());
  return name;
}

int BlockDescriptor() {
  static const int fd = [] {
    ::shm_unlink(BlockName().c_str());
    const int made = ::shm_open(BlockName().c_str(), O_RDWR | O_CREAT, 0600);
    // The name is not needed once the reader has opened it in each run;
    // removing it at exit keeps /dev/shm clean.
    std::atexit([] { ::shm_unlink(BlockName().c_str()); });
    return made;
  }();
  return fd;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const int fd = BlockDescriptor();
  Require(fd >= 0, "the block exists");
  Require(::ftruncate(fd, static_cast<off_t>(size)) == 0, "the block takes the input's size");
  if (size > 0) Require(::pwrite(fd, data, size, 0) == static_cast<ssize_t>(size), "the input is written");

  const StatusBlockSnapshot snapshot = SnapshotStatusBlock(BlockName());
  Require(snapshot.state == StatusBlockState::kPresent, "the block is seen");
  const std::size_t seen = size < static_cast<std::size_t>(kStatusBlockSize) ? size : kStatusBlockSize;
  Require(snapshot.bytes == std::string_view(reinterpret_cast<const char*>(data), seen), "the first 512 bytes");

  const std::string text = snapshot.bytes.substr(0, snapshot.bytes.find('\0'));
  if (const auto reading = ParseStatusText(text)) {
    Require(StatusText(reading->tenhou, reading->hand, TileNames(), reading->sinceCnt) == text,
            "a parsed text is one the writer makes");
  }
  const QString decoded = FromShiftJis(text);
  Require(decoded.size() <= static_cast<qsizetype>(text.size()), "a character from every one or two bytes");
  CheckShown(EscapeControls(decoded));
  return 0;
}
