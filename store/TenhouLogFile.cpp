#include "store/TenhouLogFile.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "store/DirectorySync.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

namespace kestrum {

namespace {

constexpr std::chrono::milliseconds kLockRetry{5};

// Closes the descriptor on every way out.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

int OpenForAppending(const std::filesystem::path& file, bool& created) {
  created = false;
  int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd < 0 && errno == ENOENT) {
    fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    created = fd >= 0;
  }
  return fd;
}

// Bytes written before the first failure; a short write goes on with the rest.
std::size_t WriteAll(int fd, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

// Writers that take the lock append whole entries one after another. The
// wait for it is short and bounded: a process that holds the lock for long
// (or a stuck one) must not freeze the window, and a single append of a
// whole entry to a file opened for appending does not interleave with
// other appends anyway.
void LockForAppending(int fd, std::chrono::milliseconds wait) {
  const auto giveUp = std::chrono::steady_clock::now() + wait;
  while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK && errno != EINTR) return;
    if (std::chrono::steady_clock::now() >= giveUp) return;
    std::this_thread::sleep_for(kLockRetry);
  }
}

std::int64_t SizeOf(int fd) {
  struct stat info {};
  return ::fstat(fd, &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

// Takes back the bytes of an entry that did not surely reach the file, so that
// a full disk cannot leave a torn entry behind. Only bytes of this append are
// removed: the file is cut back only when nothing else was added meanwhile.
void TakeBackEntry(int fd, std::int64_t sizeBefore, std::size_t written) {
  if (sizeBefore < 0 || written == 0) return;
  if (SizeOf(fd) != sizeBefore + static_cast<std::int64_t>(written)) return;
  if (::ftruncate(fd, static_cast<off_t>(sizeBefore)) == 0) ::fsync(fd);
}

}  // namespace

TenhouLogFile::TenhouLogFile(TenhouLogTable& table, std::filesystem::path file)
    : table_(table), file_(std::move(file)) {}

void TenhouLogFile::ReadTenhouLog() {
  std::FILE* stream = std::fopen(file_.c_str(), "rb");
  if (stream == nullptr) {
    table_.entryCount = 0;
    lastRead_ = LogReadReport{};
    return;
  }
  lastRead_ = ReadTenhouLogStream(stream, table_);
  std::fclose(stream);
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
  bool created = false;
  Descriptor fd(OpenForAppending(file_, created));
  if (fd.get() < 0) return LogAppendResult::NotOpened;
  LockForAppending(fd.get(), lockWait_);
  const std::int64_t sizeBefore = SizeOf(fd.get());
  const std::size_t written = WriteAll(fd.get(), bytes);
  bool reached = written == bytes.size();
  if (reached && syncEachEntry_) reached = ::fsync(fd.get()) == 0;
  if (!reached) {
    TakeBackEntry(fd.get(), sizeBefore, written);
    return LogAppendResult::WriteFailed;
  }
  if (created && syncEachEntry_) SyncDirectoryOf(file_);
  return LogAppendResult::Written;
}

}  // namespace kestrum
