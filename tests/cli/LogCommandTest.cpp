// kestrum-sim log on files edited by hand: each field decoded on its own,
// bytes that are no Shift_JIS shown as U+FFFD, control characters escaped
// in the table.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "ProcessRun.h"
#include "tests/store/LogTestEntries.h"

namespace kestrum::test {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  const auto at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class LogCommand : public ::testing::Test {
 protected:
  void TearDown() override { std::remove(file_.c_str()); }
  void Write(const std::string& bytes) { std::ofstream(file_, std::ios::binary) << bytes; }
  std::string file_ = "/tmp/kestrum-log-command-" + std::to_string(::getpid()) + ".txt";
};

// A lead byte that ends the run field must not swallow the first digit of
// the total; 0xA0 and 0xFD are no Shift_JIS at all.
TEST_F(LogCommand, EachFieldIsDecodedOnItsOwn) {
  std::string entry = testing::NumberedEntry(6);
  entry = Replaced(entry, "+ 6\r\n", "+ 6\x88\r\n");
  entry = Replaced(entry, " 6\r\n", " 6\xA0\xFD\r\n");  // the heavenly-hand count
  Write(entry);
  const ProcessResult result = RunSim({"log", "--json", file_});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(result.out)).array().at(0).toObject();
  EXPECT_EQ(object.value(QStringLiteral("run")).toString(), QStringLiteral("6\uFFFD"));
  EXPECT_EQ(object.value(QStringLiteral("total")).toString(), QStringLiteral("600"));
  EXPECT_EQ(object.value(QStringLiteral("tenhou")).toString(), QStringLiteral("6\uFFFD\uFFFD"));
}

TEST_F(LogCommand, ControlCharactersInTheFileAreShownEscapedInTheTable) {
  Write(Replaced(testing::NumberedEntry(6), "* 1m1m", "* \x1B]0;owned\x07\x1B[2J"));
  const ProcessResult table = RunSim({"log", file_});
  ASSERT_EQ(table.exitCode, 0) << table.err;
  EXPECT_EQ(table.out.find('\x1B'), std::string::npos) << table.out;
  EXPECT_EQ(table.out.find('\x07'), std::string::npos) << table.out;
  EXPECT_NE(table.out.find("\\x1B]0;owned\\x07\\x1B[2J1m2m"), std::string::npos) << table.out;
  const ProcessResult json = RunSim({"log", "--json", file_});
  const QJsonObject object = QJsonDocument::fromJson(QByteArray::fromStdString(json.out)).array().at(0).toObject();
  EXPECT_EQ(object.value(QStringLiteral("hand")).toString(), QStringLiteral("\x1B]0;owned\x07\x1B[2J1m2m3m4m5m6m7m8m8m9m9m9m"));
}

}  // namespace
}  // namespace kestrum::test
