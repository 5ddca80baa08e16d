#pragma once
// "tenholog.txt": read into the table at start-up, one entry appended for
// each logged heavenly hand. The file is only ever appended to.

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "engine/RunPorts.h"
#include "store/TenhouLogReader.h"

namespace kestrum {

struct TenhouLogTable;

enum class LogAppendResult {
  None,        // nothing appended yet
  Written,     // the whole entry is in the file (and in the table when it had room)
  NotOpened,   // the file could not be opened or created: nothing written
  WriteFailed  // the entry did not reach the file: nothing of it is left there
};

class TenhouLogFile final : public TenhouLogPort {
 public:
  explicit TenhouLogFile(TenhouLogTable& table, std::filesystem::path file = "tenholog.txt");

  // Replaces the table's contents by the file's entries.
  void ReadTenhouLog() override;
  // Writes the whole entry with one write, then to the disk; the table gets
  // the entry only when it reached the file and the table has room.
  void AppendTenhouLog(const SimulationState& state, std::time_t now) override;
  std::string StartHeaderAt(std::time_t now) override;
  // Appends an entry made earlier (TenhouLogEntryLines, WithCrLf) as it
  // stands; the table is left alone.
  void AppendEntryBytes(const std::string& bytes) { lastAppend_ = WriteEntry(bytes); }

  const LogReadReport& LastReadReport() const { return lastRead_; }
  // Why the last read found no file to read ("it is not a regular file", the
  // system's message); empty when it opened one.
  const std::string& LastOpenProblem() const { return lastOpenProblem_; }
  LogAppendResult LastAppendResult() const { return lastAppend_; }
  const std::filesystem::path& File() const { return file_; }

  // Each entry is forced to the disk before the append returns (the
  // default); a batch that logs many entries may trade that for speed.
  void SetSyncEachEntry(bool sync) { syncEachEntry_ = sync; }
  // How long an append waits for another writer's lock before it appends
  // without it.
  void SetLockWait(std::chrono::milliseconds wait) { lockWait_ = wait; }

  static constexpr std::chrono::milliseconds kDefaultLockWait{200};

 private:
  LogAppendResult WriteEntry(const std::string& bytes);

  TenhouLogTable& table_;
  std::filesystem::path file_;
  LogReadReport lastRead_;
  std::string lastOpenProblem_;
  LogAppendResult lastAppend_ = LogAppendResult::None;
  bool syncEachEntry_ = true;
  std::chrono::milliseconds lockWait_ = kDefaultLockWait;
};

}  // namespace kestrum
