// The POSIX side of os/Files.h.
#include "os/Files.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <thread>

#include "os/CgroupCpuLimit.h"

namespace kestrum::os {
namespace {

std::string ErrorText(int error) { return std::strerror(error); }

// O_NONBLOCK keeps open() from waiting for the other end of a FIFO. Once
// fstat shows a regular file the flag is cleared again, so reads and writes
// behave as usual.
struct Opened {
  int fd = -1;
  int error = 0;
};

Opened OpenRegular(const std::filesystem::path& path, int flags, OpenStatus& status, std::string& problem) {
  const int fd = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd < 0) {
    const int error = errno;
    status = error == ENOENT ? OpenStatus::Missing
             : error == ELOOP || error == ENXIO || error == EISDIR ? OpenStatus::NotRegular
                                                                   : OpenStatus::Failed;
    problem = error == ELOOP                       ? "it is a link, not a regular file"
              : status == OpenStatus::NotRegular ? "it is not a regular file"
                                                 : ErrorText(error);
    return {-1, error};
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    status = OpenStatus::NotRegular;
    problem = "it is not a regular file";
    return {-1, 0};
  }
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  status = OpenStatus::Opened;
  return {fd, 0};
}

int Fd(std::intptr_t handle) { return static_cast<int>(handle); }

std::size_t WriteAll(int fd, std::string_view bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<std::size_t>(n);
  }
  return done;
}

// A name beside the file that another user cannot know in advance.
std::filesystem::path TemporaryNameBeside(const std::filesystem::path& file, std::mt19937_64& random) {
  std::filesystem::path name = file;
  name += ".part-" + std::to_string(random() % 100000000000ull);
  return name;
}

// What the rename would replace must be the file itself, never a link (the
// rename would only move the link, but a person's link there means the
// file lives elsewhere) nor a FIFO, device or folder.
std::optional<std::string> ReplaceableTarget(const std::filesystem::path& file) {
  struct stat info {};
  if (::lstat(file.c_str(), &info) != 0) return errno == ENOENT ? std::nullopt : std::optional(ErrorText(errno));
  if (!S_ISREG(info.st_mode)) return std::string("it is not a regular file");
  return std::nullopt;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept
    : handle_(other.handle_), status_(other.status_), created_(other.created_), readFailed_(other.readFailed_),
      lockBusy_(other.lockBusy_), problem_(std::move(other.problem_)) {
  other.handle_ = -1;
  other.status_ = OpenStatus::Failed;
}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = other.handle_;
    status_ = other.status_;
    created_ = other.created_;
    readFailed_ = other.readFailed_;
    lockBusy_ = other.lockBusy_;
    problem_ = std::move(other.problem_);
    other.handle_ = -1;
    other.status_ = OpenStatus::Failed;
  }
  return *this;
}

void File::Close() {
  if (handle_ >= 0) ::close(Fd(handle_));
  handle_ = -1;
}

File File::OpenToRead(const std::filesystem::path& path) {
  File file;
  file.handle_ = OpenRegular(path, O_RDONLY, file.status_, file.problem_).fd;
  return file;
}

namespace {

// A link that the user running the program made is the user's own choice
// (a log kept elsewhere) and is followed; one that someone else laid there
// is not: in a folder that others may write, it would send the entries into
// whatever file it names. The same rule as the kernel's protected_symlinks,
// for every folder and not only sticky ones.
bool IsOwnLink(const std::filesystem::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) && info.st_uid == ::geteuid();
}

}  // namespace

// Read access lets the appender look at the file's last byte; a log that
// may be written but not read is still appended to.
File File::OpenToAppend(const std::filesystem::path& path, bool create) {
  const bool follow = IsOwnLink(path);
  const int append = O_APPEND | (follow ? 0 : O_NOFOLLOW);
  File file;
  Opened opened = OpenRegular(path, O_RDWR | append, file.status_, file.problem_);
  if (opened.error == EACCES) opened = OpenRegular(path, O_WRONLY | append, file.status_, file.problem_);
  if (file.status_ == OpenStatus::Missing && create) {
    // Through the user's own link the file it names is made, as before.
    opened = OpenRegular(path, O_RDWR | append | O_CREAT | (follow ? 0 : O_EXCL), file.status_, file.problem_);
    file.created_ = opened.fd >= 0;
    // Another writer made it in between: append to theirs.
    if (opened.error == EEXIST) return OpenToAppend(path, false);
  }
  file.handle_ = opened.fd;
  // The link looked at may have been swapped for another's in between.
  if (follow && file.IsOpen() && !IsOwnLink(path)) {
    file.Close();
    file.status_ = OpenStatus::NotRegular;
    file.problem_ = "it is a link, not a regular file";
  }
  return file;
}

std::size_t File::Read(char* buffer, std::size_t size) {
  if (!IsOpen()) return 0;
  for (;;) {
    const ssize_t n = ::read(Fd(handle_), buffer, size);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) readFailed_ = true;
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }
}

std::int64_t File::Size() const {
  struct stat info {};
  return IsOpen() && ::fstat(Fd(handle_), &info) == 0 ? static_cast<std::int64_t>(info.st_size) : -1;
}

std::optional<char> File::ByteAt(std::int64_t offset) const {
  char byte = 0;
  if (!IsOpen() || offset < 0 || ::pread(Fd(handle_), &byte, 1, static_cast<off_t>(offset)) != 1) return std::nullopt;
  return byte;
}

bool File::TryLock() {
  lockBusy_ = false;
  if (!IsOpen()) return false;
  while (::flock(Fd(handle_), LOCK_EX | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    lockBusy_ = errno == EWOULDBLOCK;
    return false;
  }
  return true;
}

std::size_t File::Append(std::string_view bytes) {
  if (!IsOpen()) return 0;
  const std::size_t written = WriteAll(Fd(handle_), bytes);
  if (written != bytes.size()) problem_ = ErrorText(errno);
  return written;
}

bool File::Sync() { return IsOpen() && ::fsync(Fd(handle_)) == 0; }

bool File::TruncateTo(std::int64_t size) {
  return IsOpen() && ::ftruncate(Fd(handle_), static_cast<off_t>(size)) == 0;
}

namespace {

// Exclusive creation: the call fails on any name that exists, a link
// included, so nothing planted there is ever opened.
int MakeTemporaryBeside(const std::filesystem::path& file, std::filesystem::path& temporary, std::string& problem) {
  std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(::getpid()) << 32);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryNameBeside(file, random);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd >= 0) return fd;
    if (errno != EEXIST) {
      problem = ErrorText(errno);
      return -1;
    }
  }
  problem = "no temporary file could be made beside it";
  return -1;
}

}  // namespace

std::optional<std::string> CheckReplaceable(const std::filesystem::path& file) {
  if (auto problem = ReplaceableTarget(file)) return problem;
  std::filesystem::path temporary;
  std::string problem;
  const int fd = MakeTemporaryBeside(file, temporary, problem);
  if (fd < 0) return problem;
  ::close(fd);
  ::unlink(temporary.c_str());
  return std::nullopt;
}

std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view bytes) {
  if (auto problem = ReplaceableTarget(file)) return problem;
  std::filesystem::path temporary;
  std::string made;
  const int fd = MakeTemporaryBeside(file, temporary, made);
  if (fd < 0) return made;
  const bool written = WriteAll(fd, bytes) == bytes.size();
  const int writeError = errno;
  const bool synced = written && ::fsync(fd) == 0;
  const int syncError = errno;
  ::close(fd);
  // Checked again just before the rename: the folder may be shared.
  std::optional<std::string> problem;
  if (!written) problem = ErrorText(writeError);
  else if (!synced) problem = ErrorText(syncError);
  else if ((problem = ReplaceableTarget(file))) {}
  else if (::rename(temporary.c_str(), file.c_str()) != 0) problem = ErrorText(errno);
  if (problem) {
    ::unlink(temporary.c_str());
    return problem;
  }
  SyncDirectoryOf(file);
  return std::nullopt;
}

bool SyncDirectoryOf(const std::filesystem::path& file) {
  std::filesystem::path directory = file.parent_path();
  if (directory.empty()) directory = ".";
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  const bool synced = ::fsync(fd) == 0;
  ::close(fd);
  return synced;
}

// The CPUs of the affinity mask (taskset, a batch system's binding), fewer
// when a control group's quota (a container's --cpus) allows less time.
int UsableCpus() {
  cpu_set_t set;
  CPU_ZERO(&set);
  int cpus = sched_getaffinity(0, sizeof set, &set) == 0 ? std::max(1, CPU_COUNT(&set))
                                                          : static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  std::ifstream file("/proc/self/cgroup");
  std::stringstream text;
  text << file.rdbuf();
  if (const auto limit = CgroupCpuLimit("/sys/fs/cgroup", text.str())) cpus = std::min(cpus, *limit);
  return cpus;
}

bool LocalTime(std::time_t when, std::tm& parts) { return ::localtime_r(&when, &parts) != nullptr; }

std::filesystem::path PathFromUtf8(std::string_view text) { return std::filesystem::path(std::string(text)); }

std::string Utf8FromPath(const std::filesystem::path& path) { return path.string(); }

}  // namespace kestrum::os
