#pragma once
// Log texts for the tests, with the Shift_JIS words spelled out as bytes.

#include <cstdlib>
#include <ctime>
#include <string>

#include "engine/SimulationState.h"
#include "store/TenhouLogFormat.h"

namespace kestrum::testing {

// Sets the zone that local time is taken in, for this process.
inline void SetTimeZone(const char* zone) {
#ifdef _WIN32
  ::_putenv_s("TZ", zone);
  ::_tzset();
#else
  ::setenv("TZ", zone, 1);
  ::tzset();
#endif
}

// Local time of a calendar date in the zone the test has set.
inline std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm parts{};
  parts.tm_year = year - 1900;
  parts.tm_mon = month - 1;
  parts.tm_mday = day;
  parts.tm_hour = hour;
  parts.tm_min = minute;
  parts.tm_sec = second;
  parts.tm_isdst = -1;
  return std::mktime(&parts);
}

// The ten lines of a well-formed entry whose counts all derive from n, with
// the given line end.
inline std::string NumberedEntry(long n, const std::string& eol = "\r\n") {
  const std::string count = std::to_string(n);
  return "===== " + std::string(kStartWord) + " 2001/03/04 09:05:03 =====" + eol +
         "* 1m1m1m2m3m4m5m6m7m8m8m9m9m9m" + eol + "+ " + count + eol + std::string(kTotalWord) + " " + count +
         "00" + eol + std::string(kTenhoWord) + " " + count + eol + std::string(kProbabilityWord) + " 1." + eol +
         std::string(kShortestWord) + " 1" + eol + std::string(kLongestWord) + " " + count + eol + "----- " +
         std::string(kEndWord) + " 2001/03/04 21:47:10 -----" + eol + eol;
}

inline std::string NumberedEntries(long first, long count, const std::string& eol = "\r\n") {
  std::string text;
  for (long n = first; n < first + count; ++n) text += NumberedEntry(n, eol);
  return text;
}

}  // namespace kestrum::testing
