#include "store/TenhouLogReader.h"

#include <array>
#include <string>

#include "store/LogLineSource.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

namespace kestrum {

namespace {

// A line as the old reader saw it through its C string: up to the first NUL.
std::string_view AsCString(const std::string& line) {
  return std::string_view(line.c_str());
}

struct PendingEntry {
  std::array<std::string, kLinesPerEntry> lines;
  std::array<std::int64_t, kLinesPerEntry> offsets{};
  int count = 0;
};

// Reads up to ten lines; count tells how many arrived.
void ReadEntryLines(LogLineSource& source, PendingEntry& pending, std::int64_t& linesRead) {
  pending.count = 0;
  for (int i = 0; i < kLinesPerEntry; ++i) {
    pending.offsets[i] = source.Offset();
    if (!source.Next(pending.lines[i])) return;
    ++pending.count;
    ++linesRead;
  }
}

// The first line (1..9) without its marker, or 0 when all are there.
int FirstLineWithoutMarker(const PendingEntry& pending) {
  for (int i = 0; i < kCutLines; ++i) {
    if (!ContainsAtCharacterBoundary(AsCString(pending.lines[i]), LineMarkers()[i])) return i + 1;
  }
  return 0;
}

void CutEntry(const PendingEntry& pending, TenhouLogEntry& entry) {
  for (int i = 0; i < kCutLines; ++i) CutLineInto(entry, i + 1, AsCString(pending.lines[i]));
}

LogReadReport Stop(LogReadReport report, LogReadStop stop, TenhouLogTable& table) {
  report.stop = stop;
  report.wholeEntries = table.entryCount;
  if (stop == LogReadStop::EntryCutShort || stop == LogReadStop::MissingMarker ||
      (stop == LogReadStop::ReadError && report.lineInEntry > 1)) {
    table.entryCount = 0;
  }
  report.entryCount = table.entryCount;
  return report;
}

LogReadReport ReadEntries(LogLineSource& source, TenhouLogTable& table) {
  LogReadReport report;
  PendingEntry pending;
  table.entryCount = 0;
  for (;;) {
    ReadEntryLines(source, pending, report.linesRead);
    report.entryIndex = table.entryCount;
    if (pending.count < kLinesPerEntry) {
      report.lineInEntry = pending.count + 1;
      report.byteOffset = pending.offsets[pending.count];
      if (source.Failed()) return Stop(report, LogReadStop::ReadError, table);
      return Stop(report, pending.count == 0 ? LogReadStop::EndOfFile : LogReadStop::EntryCutShort, table);
    }
    if (table.entryCount == TenhouLogTable::kCapacity) {
      report.lineInEntry = 1;
      report.byteOffset = pending.offsets[0];
      return Stop(report, LogReadStop::TableFull, table);
    }
    if (const int line = FirstLineWithoutMarker(pending); line != 0) {
      report.lineInEntry = line;
      report.byteOffset = pending.offsets[line - 1];
      return Stop(report, LogReadStop::MissingMarker, table);
    }
    CutEntry(pending, table.entries[table.entryCount]);
    ++table.entryCount;
  }
}

}  // namespace

std::string_view DescribeLogReadStop(LogReadStop stop) {
  switch (stop) {
    case LogReadStop::NoFile: return "no log file could be opened";
    case LogReadStop::EndOfFile: return "the file ends after a whole entry";
    case LogReadStop::TableFull: return "the table holds 1000 entries; the rest of the file is not read";
    case LogReadStop::EntryCutShort: return "the file ends inside an entry, so the table is emptied";
    case LogReadStop::MissingMarker: return "a line lacks its marker, so the table is emptied";
    case LogReadStop::ReadError: return "the file could not be read to its end";
  }
  return "unknown";
}

LogReadReport ReadTenhouLogStream(std::FILE* stream, TenhouLogTable& table) {
  StreamInput input(stream);
  LogLineSource source(input);
  return ReadEntries(source, table);
}

LogReadReport ReadTenhouLogInput(ByteInput& input, TenhouLogTable& table) {
  LogLineSource source(input);
  return ReadEntries(source, table);
}

LogReadReport ReadTenhouLogText(std::string_view text, TenhouLogTable& table) {
  TextInput input(text);
  LogLineSource source(input);
  return ReadEntries(source, table);
}

bool CutTenhouLogEntry(std::string_view text, TenhouLogEntry& entry) {
  TextInput input(text);
  LogLineSource source(input);
  PendingEntry pending;
  std::int64_t linesRead = 0;
  ReadEntryLines(source, pending, linesRead);
  std::string rest;
  if (pending.count < kLinesPerEntry || FirstLineWithoutMarker(pending) != 0 || source.Next(rest)) return false;
  CutEntry(pending, entry);
  return true;
}

}  // namespace kestrum
