#pragma once
// The few calls into the operating system that the core needs, so that
// store/ and batch/ build unchanged for Linux and for Windows. The build
// picks PosixFiles.cpp or WindowsFiles.cpp; nothing else here differs.
//
// Paths arrive as std::filesystem::path: on Windows they are wide, so any
// name a person types reaches the file system whole. Every file is binary:
// the writers put CR LF themselves.

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace kestrum::os {

enum class OpenStatus {
  Opened,
  Missing,     // no such file (and none was to be made)
  NotRegular,  // a FIFO, a device, a folder or a link: refused, never waited on
  Failed       // any other reason; Problem() says which
};

// A regular file opened to read or to append. Opening never blocks, whatever
// sits at the path (a FIFO without a writer would hold a plain open forever),
// and anything but a regular file is refused.
class File {
 public:
  File() = default;
  ~File();
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;

  static File OpenToRead(const std::filesystem::path& path);
  // Opens for appending, and creates the file when it is missing and create
  // is set; Created() then tells whether this call made it.
  static File OpenToAppend(const std::filesystem::path& path, bool create);

  bool IsOpen() const { return status_ == OpenStatus::Opened; }
  OpenStatus Status() const { return status_; }
  bool Created() const { return created_; }
  // What went wrong last, in words (the system's message).
  const std::string& Problem() const { return problem_; }

  // Up to size bytes from the current place; 0 at the end or on failure.
  std::size_t Read(char* buffer, std::size_t size);
  bool ReadFailed() const { return readFailed_; }

  // -1 when unknown.
  std::int64_t Size() const;
  // The byte at offset, or nothing when it cannot be read (also when the
  // file was opened for appending without the right to read it).
  std::optional<char> ByteAt(std::int64_t offset) const;
  // An exclusive lock between processes, taken only if it is free now.
  // false also when locking fails for another reason than another holder;
  // LockIsBusy() then is false.
  bool TryLock();
  bool LockIsBusy() const { return lockBusy_; }
  // Appends at the end of the file with as few writes as the system allows;
  // the bytes written before the first failure.
  std::size_t Append(std::string_view bytes);
  // Forces what was written to the disk.
  bool Sync();
  bool TruncateTo(std::int64_t size);

 private:
  void Close();

  std::intptr_t handle_ = -1;  // a descriptor, or a HANDLE on Windows
  OpenStatus status_ = OpenStatus::Failed;
  bool created_ = false;
  bool readFailed_ = false;
  bool lockBusy_ = false;
  std::string problem_;
};

// The whole contents of a regular file, opened as File::OpenToRead does;
// what stopped it otherwise.
struct ReadResult {
  OpenStatus status = OpenStatus::Failed;
  std::string bytes;
  std::string problem;
};
ReadResult ReadWholeFile(const std::filesystem::path& path);

// Puts bytes at file as one step: a reader sees the old file or the new one,
// and a crash leaves one of them. The new contents go to a fresh temporary
// file in the same folder whose name nobody can guess or plant beforehand
// (a link or a file laid there is never written through), reach the disk,
// and are renamed over the old file, which must be a regular file or absent.
// Nothing on success, the reason otherwise; a failure leaves no temporary
// file behind.
std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view bytes);

// Whether ReplaceFile could put a file there now: the target is a regular
// file or absent and a temporary file can be made beside it (it is removed
// at once). Nothing when it can, the reason otherwise.
std::optional<std::string> CheckReplaceable(const std::filesystem::path& file);

// Forces the folder that holds the file to the disk, so that a file made or
// renamed into it stays there after a power cut. Nothing to do on Windows,
// where the rename is written through.
bool SyncDirectoryOf(const std::filesystem::path& file);

// How many CPUs this process may really use; at least 1.
int UsableCpus();

// The local time of when, as localtime_r gives it; false when it has none.
bool LocalTime(std::time_t when, std::tm& parts);

// A path from UTF-8 text (a command line's, a setting's), and back.
std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8FromPath(const std::filesystem::path& path);

}  // namespace kestrum::os
