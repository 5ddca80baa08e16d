// kestrum-sim log, records and run --log against real files.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "ProcessRun.h"

namespace kestrum::test {
namespace {

class StoreCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() / ("kestrum-cli-store-" + std::to_string(getpid()) + "-" +
                                                     ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  std::filesystem::path dir_;
};

std::string Slurp(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

QJsonArray JsonArrayOf(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).array(); }
QJsonObject JsonOf(const std::string& text) { return QJsonDocument::fromJson(QByteArray::fromStdString(text)).object(); }

// Seeds 810 and 446 find a heavenly hand within a few thousand games, which
// keeps these runs short.
TEST_F(StoreCommands, BatchFindsAreLoggedWithTheBatchCountsAndReadBackNewestFirst) {
  const std::string log = Path("tenholog.txt");
  const ProcessResult first = RunSim({"run", "--threads", "2", "--tenhou", "1", "--seed", "810", "--log", log, "--json"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  const ProcessResult second = RunSim({"run", "--threads", "1", "--tenhou", "1", "--seed", "446", "--log", log, "--json"});
  ASSERT_EQ(second.exitCode, 0) << second.err;
  const QJsonObject run1 = JsonOf(first.out);

  const std::string bytes = Slurp(log);
  EXPECT_NE(bytes.find("\r\n[\x91\x8D\x8B\xC7\x90\x94] " + std::to_string(run1.value(QStringLiteral("games")).toInteger()) + "\r\n"),
            std::string::npos);

  const ProcessResult read = RunSim({"log", log, "--json"});
  ASSERT_EQ(read.exitCode, 0);
  EXPECT_EQ(read.err, "");
  const QJsonArray entries = JsonArrayOf(read.out);
  ASSERT_EQ(entries.size(), 2);
  const QJsonObject newest = entries.at(0).toObject();
  const QJsonObject oldest = entries.at(1).toObject();
  EXPECT_EQ(newest.value(QStringLiteral("number")).toInt(), 2);
  EXPECT_EQ(oldest.value(QStringLiteral("total")).toString(),
            QString::number(run1.value(QStringLiteral("games")).toInteger()));
  EXPECT_EQ(oldest.value(QStringLiteral("tenhou")).toString(), QStringLiteral("1"));
  EXPECT_EQ(oldest.value(QStringLiteral("run")).toString(),
            QString::number(run1.value(QStringLiteral("shortestRun")).toInteger()));
  EXPECT_EQ(oldest.value(QStringLiteral("shortest")).toString(), oldest.value(QStringLiteral("run")).toString());
  // Fourteen names: two characters for a suit tile, one for a decoded honour.
  const QString hand = oldest.value(QStringLiteral("hand")).toString();
  EXPECT_FALSE(hand.contains(QChar::ReplacementCharacter)) << hand.toStdString();
  EXPECT_GE(hand.size(), 14);
  EXPECT_LE(hand.size(), 28);

  const ProcessResult table = RunSim({"log", log});
  ASSERT_EQ(table.exitCode, 0);
  EXPECT_LT(table.out.find("    2 "), table.out.find("    1 "));
}

TEST_F(StoreCommands, DamagedOrMissingLogReadsAsEmptyWithAHint) {
  const std::string log = Path("tenholog.txt");
  ASSERT_EQ(RunSim({"run", "--threads", "1", "--tenhou", "1", "--seed", "446", "--log", log}).exitCode, 0);
  const std::string whole = Slurp(log);
  std::ofstream(Path("cut.txt"), std::ios::binary) << whole.substr(0, whole.size() / 2);

  const ProcessResult cut = RunSim({"log", Path("cut.txt"), "--json"});
  EXPECT_EQ(cut.exitCode, 0);
  EXPECT_EQ(JsonArrayOf(cut.out).size(), 0);
  EXPECT_NE(cut.err.find("ends inside an entry"), std::string::npos) << cut.err;
  EXPECT_NE(cut.err.find("line "), std::string::npos) << cut.err;

  const ProcessResult missing = RunSim({"log", Path("none.txt")});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("none.txt"), std::string::npos);

  std::ofstream(Path("empty.txt"), std::ios::binary) << "";
  EXPECT_NE(RunSim({"log", Path("empty.txt")}).err.find("no entries"), std::string::npos);
  EXPECT_EQ(RunSim({"log", "a", "b"}).exitCode, 2);
}

TEST_F(StoreCommands, RecordsShowsTheStoredValuesByTheLoadRules) {
  const std::string file = Path("kestrum.conf");
  // The typed value would make a variant decoder ask for 62 GB: it reads as missing.
  std::ofstream(file) << "[RECORD]\nTOTALCNT=8589934597\nTENHOCNT=  42abc\nMINTENHOCNT=7\n"
                         "MAXTENHOCNT=@Variant(\\0\\0\\0\\ttttx7f)\n"
                         "[SETTING]\nSPEED=120\nSOUND=2\nCONTINUE=1\n";
  const ProcessResult result = RunSim({"records", "--file", file, "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  const QJsonObject json = JsonOf(result.out);
  const QJsonObject records = json.value(QStringLiteral("RECORD")).toObject();
  const QJsonObject settings = json.value(QStringLiteral("SETTING")).toObject();
  EXPECT_EQ(records.value(QStringLiteral("TOTALCNT")).toInteger(), 8589934597LL);
  EXPECT_EQ(records.value(QStringLiteral("TENHOCNT")).toInteger(), 42);
  EXPECT_EQ(records.value(QStringLiteral("MINTENHOCNT")).toInteger(), 7);
  EXPECT_EQ(records.value(QStringLiteral("MAXTENHOCNT")).toInteger(), 0);
  EXPECT_EQ(settings.value(QStringLiteral("SPEED")).toInt(), 120);
  EXPECT_EQ(settings.value(QStringLiteral("INTERVAL")).toInt(), 1);
  EXPECT_FALSE(settings.value(QStringLiteral("SOUND")).toBool());  // only 1 is on
  EXPECT_TRUE(settings.value(QStringLiteral("CONTINUE")).toBool());
  EXPECT_TRUE(settings.value(QStringLiteral("ACCUMULATION")).toBool());

  const ProcessResult text = RunSim({"records", "--file", file});
  EXPECT_NE(text.out.find("TOTALCNT         8589934597"), std::string::npos) << text.out;
  EXPECT_NE(text.out.find("SOUND            0"), std::string::npos) << text.out;
}

}  // namespace
}  // namespace kestrum::test
