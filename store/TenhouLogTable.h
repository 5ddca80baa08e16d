#pragma once
// The heavenly hands of the log as the record dialog browses them: each
// entry is the texts its lines carry behind their markers, unconverted.

#include <array>
#include <string>

namespace kestrum {

struct TenhouLogEntry {
  std::string startTime;  // at most 19 bytes
  std::string endTime;    // at most 19 bytes
  std::string handText;   // 28 bytes of tile names when written by this program
  std::string runText;
  std::string totalText;
  std::string tenhoText;
  std::string probabilityText;
  std::string shortestText;
  std::string longestText;

  bool operator==(const TenhouLogEntry&) const = default;
};

// Fixed size, never grown: slots at or above entryCount may hold texts of an
// earlier, abandoned read and mean nothing.
struct TenhouLogTable {
  static constexpr int kCapacity = 1000;
  std::array<TenhouLogEntry, kCapacity> entries;
  int entryCount = 0;
};

// The one table of the process, read at start-up and extended by every entry
// the process logs.
TenhouLogTable& TheTenhouLogTable();

}  // namespace kestrum
