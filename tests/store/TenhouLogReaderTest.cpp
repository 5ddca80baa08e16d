#include "store/TenhouLogReader.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "LogTestEntries.h"
#include "store/TenhouLogFormat.h"
#include "store/TenhouLogTable.h"

namespace kestrum {
namespace {

using testing::NumberedEntries;
using testing::NumberedEntry;

class TenhouLogReaderTest : public ::testing::Test {
 protected:
  LogReadReport Read(const std::string& text) { return ReadTenhouLogText(text, *table_); }
  const TenhouLogEntry& Entry(int i) const { return table_->entries[i]; }

  std::unique_ptr<TenhouLogTable> table_ = std::make_unique<TenhouLogTable>();
};

// Replaces line (0-based over the whole text, "\r\n" ends) by replacement.
std::string WithLine(const std::string& text, int line, const std::string& replacement) {
  std::size_t begin = 0;
  for (int i = 0; i < line; ++i) begin = text.find("\r\n", begin) + 2;
  const std::size_t end = text.find("\r\n", begin) + 2;
  return text.substr(0, begin) + replacement + text.substr(end);
}

TEST_F(TenhouLogReaderTest, EntriesAreCutBehindTheirMarkers) {
  const LogReadReport report = Read(NumberedEntries(1, 2));
  EXPECT_EQ(report.stop, LogReadStop::EndOfFile);
  ASSERT_EQ(table_->entryCount, 2);
  const TenhouLogEntry& e = Entry(1);
  EXPECT_EQ(e.startTime, "2001/03/04 09:05:03");
  EXPECT_EQ(e.endTime, "2001/03/04 21:47:10");
  EXPECT_EQ(e.handText, "1m1m1m2m3m4m5m6m7m8m8m9m9m9m");
  EXPECT_EQ(e.runText, "2");
  EXPECT_EQ(e.totalText, "200");
  EXPECT_EQ(e.tenhoText, "2");
  EXPECT_EQ(e.probabilityText, "1.");
  EXPECT_EQ(e.shortestText, "1");
  EXPECT_EQ(e.longestText, "2");
  EXPECT_EQ(report.linesRead, 20);
}

TEST_F(TenhouLogReaderTest, BareLineFeedsReadLikeCrLf) {
  Read(NumberedEntries(1, 3, "\n"));
  ASSERT_EQ(table_->entryCount, 3);
  const TenhouLogEntry lf = Entry(2);
  Read(NumberedEntries(1, 3, "\r\n"));
  ASSERT_EQ(table_->entryCount, 3);
  EXPECT_EQ(Entry(2), lf);
}

TEST_F(TenhouLogReaderTest, TheFirstThousandEntriesAreKept) {
  EXPECT_EQ(Read(NumberedEntries(1, 1000)).stop, LogReadStop::EndOfFile);
  EXPECT_EQ(table_->entryCount, 1000);
  EXPECT_EQ(Entry(999).runText, "1000");

  const LogReadReport report = Read(NumberedEntries(1, 1001));
  EXPECT_EQ(report.stop, LogReadStop::TableFull);
  EXPECT_EQ(table_->entryCount, 1000);
  EXPECT_EQ(Entry(999).runText, "1000");
}

// A file that ends inside an entry, or a line without its marker, empties the
// whole table however many good entries came before.
TEST_F(TenhouLogReaderTest, DamageEmptiesTheWholeTable) {
  const std::string full = NumberedEntries(1, 1000);
  const std::string fiveLines = NumberedEntry(1001).substr(0, NumberedEntry(1001).find(std::string(kProbabilityWord)));
  LogReadReport report = Read(full + fiveLines);
  EXPECT_EQ(report.stop, LogReadStop::EntryCutShort);
  EXPECT_EQ(table_->entryCount, 0);
  EXPECT_EQ(report.wholeEntries, 1000);
  EXPECT_EQ(report.entryIndex, 1000);
  EXPECT_EQ(report.lineInEntry, 6);
  EXPECT_EQ(report.byteOffset, static_cast<std::int64_t>(full.size() + fiveLines.size()));

  const std::string noFinalEmptyLine = NumberedEntries(1, 3);
  EXPECT_EQ(Read(noFinalEmptyLine.substr(0, noFinalEmptyLine.size() - 2)).stop, LogReadStop::EntryCutShort);
  EXPECT_EQ(table_->entryCount, 0);

  // The third entry's heavenly-hand count line deleted: its fifth line is now
  // the probability line.
  const std::string text = NumberedEntries(1, 5);
  const std::size_t at = 2 * NumberedEntry(1).size() + NumberedEntry(3).find(std::string(kTenhoWord));
  const std::string deleted = text.substr(0, at) + text.substr(text.find("\r\n", at) + 2);
  report = Read(deleted);
  EXPECT_EQ(report.stop, LogReadStop::MissingMarker);
  EXPECT_EQ(table_->entryCount, 0);
  EXPECT_EQ(report.entryIndex, 2);
  EXPECT_EQ(report.lineInEntry, 5);
  EXPECT_EQ(report.byteOffset, static_cast<std::int64_t>(at));
}

TEST_F(TenhouLogReaderTest, AMarkerMayStandAnywhereInItsLine) {
  Read(WithLine(NumberedEntry(7), 2, "xy+ 250\r\n"));
  ASSERT_EQ(table_->entryCount, 1);
  EXPECT_EQ(Entry(0).runText, "+ 250");  // the cut counts from the line's start
}

// Bytes that spell a marker across two characters do not count.
TEST_F(TenhouLogReaderTest, MarkersMatchOnlyAtCharacterBoundaries) {
  const std::string hidden = "===== \x93" + std::string(kStartWord) + " 2001/03/04 09:05:03 =====\r\n";
  EXPECT_EQ(Read(WithLine(NumberedEntry(1), 0, hidden)).stop, LogReadStop::MissingMarker);
  EXPECT_EQ(table_->entryCount, 0);

  const std::string behindKanji = "\x93\x56" + std::string(kStartWord) + " 2001/03/04 09:05:03\r\n";
  Read(WithLine(NumberedEntry(1), 0, behindKanji));
  ASSERT_EQ(table_->entryCount, 1);
  EXPECT_EQ(Entry(0).startTime, "/03/04 09:05:03\n");  // from 11, the line end included

  // "\x82+" is one character, so there is no "+" in this line.
  EXPECT_EQ(Read(WithLine(NumberedEntry(1), 2, "\x82+ 5\r\n")).stop, LogReadStop::MissingMarker);
}

// The line buffer holds 199 bytes: a longer line comes in two pieces, and a
// piece without a line end loses its last byte to the cut.
TEST_F(TenhouLogReaderTest, LongLinesAreSplitAtTheLineBuffer) {
  const std::string hand197 = "* " + std::string(197, 'a');
  // The hand line and the run line joined into one file line, which the
  // reader splits back in two.
  std::string text = WithLine(NumberedEntry(1), 1, hand197 + "+ 250\r\n");
  text = text.substr(0, text.find("+ 1\r\n")) + text.substr(text.find("+ 1\r\n") + 5);
  Read(text);
  ASSERT_EQ(table_->entryCount, 1);
  EXPECT_EQ(Entry(0).handText, std::string(196, 'a'));
  EXPECT_EQ(Entry(0).runText, "250");

  // A 250-byte line shifts every later line by one.
  const std::string shifted = WithLine(NumberedEntries(1, 3), 11, "* " + std::string(248, 'b') + "\r\n");
  const LogReadReport report = Read(shifted);
  EXPECT_EQ(report.stop, LogReadStop::MissingMarker);
  EXPECT_EQ(report.entryIndex, 1);
  EXPECT_EQ(report.lineInEntry, 3);
  EXPECT_EQ(table_->entryCount, 0);

  // 198 bytes and the line end still fit.
  Read(WithLine(NumberedEntry(1), 1, "* " + std::string(196, 'c') + "\r\n"));
  ASSERT_EQ(table_->entryCount, 1);
  EXPECT_EQ(Entry(0).handText, std::string(196, 'c'));
}

TEST_F(TenhouLogReaderTest, EmptyTextGivesAnEmptyTable) {
  table_->entryCount = 5;
  EXPECT_EQ(Read("").stop, LogReadStop::EndOfFile);
  EXPECT_EQ(table_->entryCount, 0);
}

}  // namespace
}  // namespace kestrum
