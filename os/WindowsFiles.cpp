// The Windows side of os/Files.h: wide paths, binary handles, the lock on a
// byte far past any data (Windows locks are mandatory, so locking the data
// itself would stop another writer that gave up waiting), and the rename
// written through instead of a folder to sync.
#include "os/Files.h"

#include <windows.h>
// windows.h names its own ReplaceFile (a macro for ReplaceFileW).
#undef ReplaceFile

#include <algorithm>
#include <bit>
#include <random>
#include <thread>

namespace kestrum::os {
namespace {

HANDLE H(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }
std::intptr_t Id(HANDLE handle) { return reinterpret_cast<std::intptr_t>(handle); }
constexpr std::intptr_t kNoHandle = -1;  // INVALID_HANDLE_VALUE

std::string Utf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr,
                        nullptr);
  return bytes;
}

std::string ErrorText(DWORD error) {
  wchar_t* text = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
      MAKELANGID(LANG_ENGLISH, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length > 0 && text != nullptr ? std::wstring(text, length) : std::wstring();
  if (text != nullptr) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : Utf8(message);
}

bool IsFolderOrLink(const std::filesystem::path& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0;
}

struct Opened {
  HANDLE handle = INVALID_HANDLE_VALUE;
  DWORD error = 0;
};

// Only a file on a disk is taken: a pipe, a console or a device is refused.
// followLinks false opens a link itself, which is then refused.
Opened OpenRegular(const std::filesystem::path& path, DWORD access, DWORD disposition, bool followLinks,
                   OpenStatus& status, std::string& problem) {
  const DWORD flags = FILE_ATTRIBUTE_NORMAL | (followLinks ? 0 : FILE_FLAG_OPEN_REPARSE_POINT);
  const HANDLE handle = ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, disposition, flags, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) status = OpenStatus::Missing;
    else if (error == ERROR_ACCESS_DENIED && IsFolderOrLink(path)) status = OpenStatus::NotRegular;
    else status = OpenStatus::Failed;
    problem = status == OpenStatus::NotRegular ? "it is not a regular file" : ErrorText(error);
    return {INVALID_HANDLE_VALUE, error};
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (::GetFileType(handle) != FILE_TYPE_DISK || !::GetFileInformationByHandle(handle, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
    ::CloseHandle(handle);
    status = OpenStatus::NotRegular;
    problem = "it is not a regular file";
    return {INVALID_HANDLE_VALUE, 0};
  }
  status = OpenStatus::Opened;
  return {handle, 0};
}

OVERLAPPED At(std::uint64_t offset) {
  OVERLAPPED place{};
  place.Offset = static_cast<DWORD>(offset);
  place.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return place;
}

// Writes at whatever the end of the file is at that moment, as a file opened
// for appending does.
constexpr std::uint64_t kEndOfFile = 0xFFFFFFFFFFFFFFFFull;
// The byte that the writers lock: never part of any file's data.
constexpr std::uint64_t kLockByte = 0x7FFFFFFF00000000ull;

std::size_t WriteAll(HANDLE handle, std::string_view bytes, bool atEnd, DWORD& error) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 30));
    DWORD written = 0;
    OVERLAPPED end = At(kEndOfFile);
    if (!::WriteFile(handle, bytes.data() + done, chunk, &written, atEnd ? &end : nullptr) || written == 0) {
      error = ::GetLastError();
      break;
    }
    done += written;
  }
  return done;
}

std::filesystem::path TemporaryNameBeside(const std::filesystem::path& file, std::mt19937_64& random) {
  std::filesystem::path name = file;
  name += L".part-" + std::to_wstring(random() % 100000000000ull);
  return name;
}

}  // namespace

File::~File() { Close(); }

File::File(File&& other) noexcept
    : handle_(other.handle_), status_(other.status_), created_(other.created_), readFailed_(other.readFailed_),
      lockBusy_(other.lockBusy_), problem_(std::move(other.problem_)) {
  other.handle_ = kNoHandle;
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
    other.handle_ = kNoHandle;
    other.status_ = OpenStatus::Failed;
  }
  return *this;
}

void File::Close() {
  if (handle_ != kNoHandle) ::CloseHandle(H(handle_));
  handle_ = kNoHandle;
}

File File::OpenToRead(const std::filesystem::path& path) {
  File file;
  file.handle_ = Id(OpenRegular(path, GENERIC_READ, OPEN_EXISTING, true, file.status_, file.problem_).handle);
  return file;
}

// Write access with writes placed at the end lets a failed entry be cut
// back; read access lets the appender look at the last byte. Links are not
// followed, as on POSIX.
File File::OpenToAppend(const std::filesystem::path& path, bool create) {
  File file;
  Opened opened = OpenRegular(path, GENERIC_READ | GENERIC_WRITE, OPEN_EXISTING, false, file.status_, file.problem_);
  if (opened.error == ERROR_ACCESS_DENIED && file.status_ == OpenStatus::Failed)
    opened = OpenRegular(path, FILE_APPEND_DATA, OPEN_EXISTING, false, file.status_, file.problem_);
  if (file.status_ == OpenStatus::Missing && create) {
    opened = OpenRegular(path, GENERIC_READ | GENERIC_WRITE, CREATE_NEW, false, file.status_, file.problem_);
    file.created_ = opened.handle != INVALID_HANDLE_VALUE;
    if (opened.error == ERROR_FILE_EXISTS) return OpenToAppend(path, false);
  }
  file.handle_ = Id(opened.handle);
  return file;
}

std::size_t File::Read(char* buffer, std::size_t size) {
  if (!IsOpen()) return 0;
  DWORD got = 0;
  if (!::ReadFile(H(handle_), buffer, static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30)), &got, nullptr)) {
    readFailed_ = true;
    return 0;
  }
  return got;
}

std::int64_t File::Size() const {
  LARGE_INTEGER size{};
  return IsOpen() && ::GetFileSizeEx(H(handle_), &size) ? static_cast<std::int64_t>(size.QuadPart) : -1;
}

std::optional<char> File::ByteAt(std::int64_t offset) const {
  char byte = 0;
  DWORD got = 0;
  OVERLAPPED place = At(static_cast<std::uint64_t>(offset));
  if (!IsOpen() || offset < 0 || !::ReadFile(H(handle_), &byte, 1, &got, &place) || got != 1) return std::nullopt;
  return byte;
}

bool File::TryLock() {
  lockBusy_ = false;
  if (!IsOpen()) return false;
  OVERLAPPED place = At(kLockByte);
  if (::LockFileEx(H(handle_), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &place)) return true;
  lockBusy_ = ::GetLastError() == ERROR_LOCK_VIOLATION;
  return false;
}

std::size_t File::Append(std::string_view bytes) {
  if (!IsOpen()) return 0;
  DWORD error = 0;
  const std::size_t written = WriteAll(H(handle_), bytes, true, error);
  if (written != bytes.size()) problem_ = ErrorText(error);
  return written;
}

bool File::Sync() { return IsOpen() && ::FlushFileBuffers(H(handle_)); }

bool File::TruncateTo(std::int64_t size) {
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = size;
  return IsOpen() && ::SetFileInformationByHandle(H(handle_), FileEndOfFileInfo, &end, sizeof end);
}

namespace {

// CREATE_NEW fails on any name that exists, so nothing laid there is opened.
HANDLE MakeTemporaryBeside(const std::filesystem::path& file, std::filesystem::path& temporary, std::string& problem) {
  std::mt19937_64 random(std::random_device{}() ^ static_cast<std::uint64_t>(::GetCurrentProcessId()) << 32);
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = TemporaryNameBeside(file, random);
    const HANDLE handle =
        ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE) return handle;
    const DWORD error = ::GetLastError();
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
      problem = ErrorText(error);
      return INVALID_HANDLE_VALUE;
    }
  }
  problem = "no temporary file could be made beside it";
  return INVALID_HANDLE_VALUE;
}

}  // namespace

std::optional<std::string> CheckReplaceable(const std::filesystem::path& file) {
  if (IsFolderOrLink(file)) return std::string("it is not a regular file");
  std::filesystem::path temporary;
  std::string problem;
  const HANDLE handle = MakeTemporaryBeside(file, temporary, problem);
  if (handle == INVALID_HANDLE_VALUE) return problem;
  ::CloseHandle(handle);
  ::DeleteFileW(temporary.c_str());
  return std::nullopt;
}

std::optional<std::string> ReplaceFile(const std::filesystem::path& file, std::string_view bytes) {
  if (IsFolderOrLink(file)) return std::string("it is not a regular file");
  std::filesystem::path temporary;
  std::string made;
  const HANDLE handle = MakeTemporaryBeside(file, temporary, made);
  if (handle == INVALID_HANDLE_VALUE) return made;
  DWORD error = 0;
  const bool written = WriteAll(handle, bytes, false, error) == bytes.size();
  const bool flushed = written && ::FlushFileBuffers(handle);
  if (written && !flushed) error = ::GetLastError();
  ::CloseHandle(handle);
  std::optional<std::string> problem;
  if (!flushed) problem = ErrorText(error);
  else if (IsFolderOrLink(file)) problem = "it is not a regular file";
  else if (!::MoveFileExW(temporary.c_str(), file.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    problem = ErrorText(::GetLastError());
  if (problem) ::DeleteFileW(temporary.c_str());
  return problem;
}

bool SyncDirectoryOf(const std::filesystem::path&) { return true; }

int UsableCpus() {
  DWORD_PTR process = 0;
  DWORD_PTR system = 0;
  if (::GetProcessAffinityMask(::GetCurrentProcess(), &process, &system) && process != 0)
    return std::max(1, std::popcount(static_cast<std::uint64_t>(process)));
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

bool LocalTime(std::time_t when, std::tm& parts) { return ::localtime_s(&parts, &when) == 0; }

std::filesystem::path PathFromUtf8(std::string_view text) {
  if (text.empty()) return {};
  const int size = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(std::max(size, 0)), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
  return std::filesystem::path(wide);
}

std::string Utf8FromPath(const std::filesystem::path& path) { return Utf8(path.native()); }

}  // namespace kestrum::os
