#include "store/TenhouLogFile.h"

#include <chrono>
#include <thread>

#include "os/Files.h"
#include "store/LogLineSource.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

namespace kestrum {

namespace {

constexpr std::chrono::milliseconds kLockRetry{5};

class FileInput final : public ByteInput {
 public:
  explicit FileInput(os::File& file) : file_(file) {}
  std::size_t Read(char* buffer, std::size_t size) override { return file_.Read(buffer, size); }
  bool Failed() const override { return file_.ReadFailed(); }

 private:
  os::File& file_;
};

// Writers that take the lock append whole entries one after another. The
// wait for it is short and bounded: a process that holds the lock for long
// (or a stuck one) must not freeze the window, and a single append of a
// whole entry to a file opened for appending does not interleave with
// other appends anyway.
void LockForAppending(os::File& file, std::chrono::milliseconds wait) {
  const auto giveUp = std::chrono::steady_clock::now() + wait;
  while (!file.TryLock()) {
    if (!file.LockIsBusy() || std::chrono::steady_clock::now() >= giveUp) return;
    std::this_thread::sleep_for(kLockRetry);
  }
}

// A file whose last line was cut (another writer's crash, a full disk) gets
// the entry on a line of its own, so that the entry stays whole and a person
// who deletes the broken line keeps it.
std::string LineBreakBefore(const os::File& file, std::int64_t size) {
  if (size <= 0) return {};
  const auto last = file.ByteAt(size - 1);
  return last && *last != '\n' ? std::string("\r\n") : std::string();
}

// Takes back the bytes of an entry that did not surely reach the file, so that
// a full disk cannot leave a torn entry behind. Only bytes of this append are
// removed: the file is cut back only when nothing else was added meanwhile.
void TakeBackEntry(os::File& file, std::int64_t sizeBefore, std::size_t written) {
  if (sizeBefore < 0 || written == 0) return;
  if (file.Size() != sizeBefore + static_cast<std::int64_t>(written)) return;
  if (file.TruncateTo(sizeBefore)) file.Sync();
}

}  // namespace

TenhouLogFile::TenhouLogFile(TenhouLogTable& table, std::filesystem::path file)
    : table_(table), file_(std::move(file)) {}

// A FIFO or a device at the log's name is never waited on: it reads as no
// file at all.
void TenhouLogFile::ReadTenhouLog() {
  os::File file = os::File::OpenToRead(file_);
  lastOpenProblem_ = file.IsOpen() ? std::string() : file.Problem();
  if (!file.IsOpen()) {
    table_.entryCount = 0;
    lastRead_ = LogReadReport{};
    return;
  }
  FileInput input(file);
  lastRead_ = ReadTenhouLogInput(input, table_);
}

std::string TenhouLogFile::StartHeaderAt(std::time_t now) { return StartHeaderText(now); }

void TenhouLogFile::AppendTenhouLog(const SimulationState& state, std::time_t now) {
  const std::string bytes = WithCrLf(TenhouLogEntryLines(state, now));
  lastAppend_ = WriteEntry(bytes);
  if (lastAppend_ != LogAppendResult::Written || table_.entryCount >= TenhouLogTable::kCapacity) return;
  if (CutTenhouLogEntry(bytes, table_.entries[table_.entryCount])) ++table_.entryCount;
}

// One write of the whole entry, so that a process killed at any moment leaves
// all of it or none; then fsync, because the records saved right after the
// entry are forced to the disk as well, and an entry that the store already
// counts should not vanish with a power cut.
LogAppendResult TenhouLogFile::WriteEntry(const std::string& bytes) {
  os::File file = os::File::OpenToAppend(file_, true);
  if (!file.IsOpen()) return LogAppendResult::NotOpened;
  LockForAppending(file, lockWait_);
  const std::int64_t sizeBefore = file.Size();
  const std::string whole = LineBreakBefore(file, sizeBefore) + bytes;
  const std::size_t written = file.Append(whole);
  bool reached = written == whole.size();
  if (reached && syncEachEntry_) reached = file.Sync();
  if (!reached) {
    TakeBackEntry(file, sizeBefore, written);
    return LogAppendResult::WriteFailed;
  }
  if (file.Created() && syncEachEntry_) os::SyncDirectoryOf(file_);
  return LogAppendResult::Written;
}

}  // namespace kestrum
