#include "store/TenhouLogFormat.h"

#include "engine/SimulationState.h"
#include "os/Files.h"
#include "store/GeneralFormat5.h"
#include "store/TenhouLogReader.h"
#include "store/TenhouLogTable.h"
#include "store/TextForms.h"

namespace kestrum {

namespace {

constexpr std::size_t kTimeTextBytes = 19;
constexpr std::size_t kTimeCutAt = 11;

// What the old string class's Mid(first, count) kept: nothing past the end,
// nothing for a negative count.
std::string Mid(std::string_view line, std::size_t first, std::ptrdiff_t count) {
  if (first >= line.size() || count <= 0) return {};
  return std::string(line.substr(first, static_cast<std::size_t>(count)));
}

// From first to the end, less the line's last byte (its line end).
std::string CutToEnd(std::string_view line, std::size_t first) {
  return Mid(line, first, static_cast<std::ptrdiff_t>(line.size()) - static_cast<std::ptrdiff_t>(first) - 1);
}

std::string TimeCut(std::string_view line) {
  return Mid(line, kTimeCutAt, static_cast<std::ptrdiff_t>(kTimeTextBytes));
}

// "%Y/%m/%d %H:%M:%S" in local time; a time the calendar cannot hold gives
// zeros rather than garbage, still 19 bytes.
std::string LocalTimeText(std::time_t when) {
  std::tm parts{};
  char text[64];
  if (!os::LocalTime(when, parts) || std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &parts) == 0) {
    return "0000/00/00 00:00:00";
  }
  return text;
}

std::string HandLine(const Hand& hand, const TileNameTable& names) {
  std::string line = "* ";
  for (TileCode code : hand) {
    const bool known = code >= 0 && code <= kTileKinds;
    line += names[known ? static_cast<std::size_t>(code) : 0];
  }
  return line + "\n";
}

std::string LabelledLine(std::string_view word, const std::string& value) {
  return std::string(word) + " " + value + "\n";
}

double Percentage(Count64 tenhoCnt, Count64 totalCnt) {
  if (totalCnt == 0) return 0;
  return static_cast<double>(tenhoCnt) * 100 / static_cast<double>(totalCnt);
}

std::string EntryLines(const std::string& startLine, const std::string& handLine, const SimulationState& s,
                       std::time_t end) {
  std::string lines = startLine;
  lines += handLine;
  lines += "+ " + CountText(s.sinceCnt) + "\n";
  lines += LabelledLine(kTotalWord, CountText(s.totalCnt));
  lines += LabelledLine(kTenhoWord, CountText(s.tenhoCnt));
  lines += LabelledLine(kProbabilityWord, GeneralFormat5(Percentage(s.tenhoCnt, s.totalCnt)));
  lines += LabelledLine(kShortestWord, CountText(s.minTenhoCnt));
  lines += LabelledLine(kLongestWord, CountText(s.maxTenhoCnt));
  lines += "----- " + std::string(kEndWord) + " " + LocalTimeText(end) + " -----\n\n";
  return lines;
}

}  // namespace

const std::array<std::string_view, kCutLines>& LineMarkers() {
  static constexpr std::array<std::string_view, kCutLines> kMarkers = {
      kStartWord, "*", "+", kTotalWord, kTenhoWord, kProbabilityWord, kShortestWord, kLongestWord, kEndWord,
  };
  return kMarkers;
}

bool ContainsAtCharacterBoundary(std::string_view line, std::string_view marker) {
  std::size_t at = 0;
  while (at + marker.size() <= line.size()) {
    if (line.compare(at, marker.size(), marker) == 0) return true;
    at += IsShiftJisLeadByte(static_cast<unsigned char>(line[at])) ? 2 : 1;
  }
  return false;
}

void CutLineInto(TenhouLogEntry& entry, int lineNumber, std::string_view line) {
  switch (lineNumber) {
    case 1: entry.startTime = TimeCut(line); break;
    case 2: entry.handText = CutToEnd(line, 2); break;
    case 3: entry.runText = CutToEnd(line, 2); break;
    case 4: entry.totalText = CutToEnd(line, 9); break;
    case 5: entry.tenhoText = CutToEnd(line, 11); break;
    case 6: entry.probabilityText = CutToEnd(line, 11); break;
    case 7: entry.shortestText = CutToEnd(line, 11); break;
    case 8: entry.longestText = CutToEnd(line, 11); break;
    case 9: entry.endTime = TimeCut(line); break;
    default: break;
  }
}

std::string StartHeaderText(std::time_t now) {
  return "===== " + std::string(kStartWord) + " " + LocalTimeText(now) + " =====\n";
}

std::string TenhouLogEntryLines(const SimulationState& state, std::time_t end) {
  TenhouLogEntry probe;
  std::string lines = EntryLines(state.startHeader, HandLine(state.hand, state.tileNames), state, end);
  if (CutTenhouLogEntry(lines, probe)) return lines;
  // A start header that was never stamped, or names that are not the
  // tile names, would leave an entry the reader rejects, and with it the
  // whole log; the entry is then written with what is known to be sound.
  lines = EntryLines(StartHeaderText(end), HandLine(state.hand, state.tileNames), state, end);
  if (CutTenhouLogEntry(lines, probe)) return lines;
  return EntryLines(StartHeaderText(end), HandLine(state.hand, TileNames()), state, end);
}

std::string WithCrLf(std::string_view lines) {
  std::string bytes;
  bytes.reserve(lines.size() + kLinesPerEntry);
  for (char c : lines) {
    if (c == '\n') bytes += '\r';
    bytes += c;
  }
  return bytes;
}

}  // namespace kestrum
