#pragma once
// The ten-line entry of "tenholog.txt", in Shift_JIS. Writer and reader share
// these pieces so that a freshly written entry cuts into exactly the texts a
// later read of the file gives.
//
//   ===== <開始> YYYY/MM/DD hh:mm:ss =====     startTime: 19 bytes from 11
//   * <28 bytes of tile names>                handText:  from 2
//   + <run>                                   runText:   from 2
//   [総局数] <total>                          totalText: from 9
//   [天和回数] <heavenly hands>               tenhoText: from 11
//   [天和確率] <percentage>                   probabilityText: from 11
//   [最短局数] <shortest>                     shortestText: from 11
//   [最長局数] <longest>                      longestText: from 11
//   ----- <終了> YYYY/MM/DD hh:mm:ss -----     endTime:   19 bytes from 11
//   (empty)
//
// Lines end in CR LF in the file; "to the end" cuts drop the line's last
// byte, which is its line end when it has one.

#include <array>
#include <ctime>
#include <string>
#include <string_view>

namespace kestrum {

struct SimulationState;
struct TenhouLogEntry;

inline constexpr int kLinesPerEntry = 10;
inline constexpr int kCutLines = 9;  // the tenth line is never looked at

// A line as the reader takes it: at most this many bytes, line end included.
inline constexpr int kLineBufferSize = 200;
inline constexpr int kMaxLineBytes = kLineBufferSize - 1;

inline constexpr std::string_view kStartWord = "\x8A\x4A\x8E\x6E";        // 開始
inline constexpr std::string_view kEndWord = "\x8F\x49\x97\xB9";          // 終了
inline constexpr std::string_view kTotalWord = "[\x91\x8D\x8B\xC7\x90\x94]";          // [総局数]
inline constexpr std::string_view kTenhoWord = "[\x93\x56\x98\x61\x89\xF1\x90\x94]";  // [天和回数]
inline constexpr std::string_view kProbabilityWord = "[\x93\x56\x98\x61\x8A\x6D\x97\xA6]";  // [天和確率]
inline constexpr std::string_view kShortestWord = "[\x8D\xC5\x92\x5A\x8B\xC7\x90\x94]";  // [最短局数]
inline constexpr std::string_view kLongestWord = "[\x8D\xC5\x92\xB7\x8B\xC7\x90\x94]";   // [最長局数]

// Markers of lines 1 to 9, in line order.
const std::array<std::string_view, kCutLines>& LineMarkers();

// True for the first byte of a two-byte Shift_JIS character.
constexpr bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Finds marker in line, trying only positions where a character starts.
bool ContainsAtCharacterBoundary(std::string_view line, std::string_view marker);

// Stores the cut of line (1..9, line end as read) in its field of entry.
void CutLineInto(TenhouLogEntry& entry, int lineNumber, std::string_view line);

// "===== 開始 %Y/%m/%d %H:%M:%S =====\n" in local time.
std::string StartHeaderText(std::time_t now);

// The ten lines of the entry for state, ending at end, with "\n" line ends
// (the file gets CR LF). A start header that is not one line with its
// marker, as the reader needs it, is replaced by the start header of end, so
// that a written entry never makes the file unreadable; a tile code outside
// the name table is written as the name of code 0.
std::string TenhouLogEntryLines(const SimulationState& state, std::time_t end);

// "\n" to "\r\n", the file's line ends.
std::string WithCrLf(std::string_view lines);

}  // namespace kestrum
