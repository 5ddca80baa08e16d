#pragma once
// Reads log text into the table, ten lines an entry, with the old reader's
// rules: CR LF and LF both end a line, a line longer than the 200-byte buffer
// is split, a file that ends inside an entry or a line without its marker
// empties the whole table, and at most the first 1000 entries are kept. The
// report says where and why the reading stopped; the table alone is what
// the program goes by.

#include <cstdint>
#include <cstdio>
#include <string_view>

namespace kestrum {

class ByteInput;
struct TenhouLogEntry;
struct TenhouLogTable;

enum class LogReadStop {
  NoFile,          // nothing to read: the table is empty
  EndOfFile,       // ended after a whole entry: every entry kept
  TableFull,       // 1000 entries kept, the rest of the file not read
  EntryCutShort,   // ended inside an entry: table emptied
  MissingMarker,   // a line lacks its marker: table emptied
  ReadError,       // the file could not be read on: table emptied
};

struct LogReadReport {
  LogReadStop stop = LogReadStop::NoFile;
  int entryCount = 0;          // what the table holds after the read
  int wholeEntries = 0;        // entries accepted before the stop
  std::int64_t linesRead = 0;  // lines taken from the file, split pieces counted
  // Where an emptying stop happened: the entry (0-based), its line (1..10)
  // and the byte offset in the file at which that line begins.
  int entryIndex = 0;
  int lineInEntry = 0;
  std::int64_t byteOffset = 0;
};

// A short English sentence for the stop, for tools that explain a read.
std::string_view DescribeLogReadStop(LogReadStop stop);

// Reads from an open stream (binary mode) to the stop.
LogReadReport ReadTenhouLogStream(std::FILE* stream, TenhouLogTable& table);
LogReadReport ReadTenhouLogInput(ByteInput& input, TenhouLogTable& table);
// The same rules over text in memory.
LogReadReport ReadTenhouLogText(std::string_view text, TenhouLogTable& table);

// Cuts text that must be exactly one entry: true when it is ten lines, the
// first nine with their markers, and nothing follows.
bool CutTenhouLogEntry(std::string_view text, TenhouLogEntry& entry);

}  // namespace kestrum
