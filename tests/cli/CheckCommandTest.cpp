// kestrum-sim check, run as a user runs it: hands on standard input.

#include <gtest/gtest.h>

#include <string>

#include "ProcessRun.h"
#include "cli/HandLine.h"

namespace kestrum::test {
namespace {

// Complete and incomplete hands, with honours written in UTF-8.
const char* const kHandsUtf8 =
    "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n"
    "1m 1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中\n"
    "1m 1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 発\n"
    "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 5m\n"
    "1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東 中 中\n"
    "1m 1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東\n"
    "1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東 中\n"
    "1m 1m 1m 1m 2m 3m 4p 5p 6p 7s 8s 9s 東 東\n"
    "1m 1m 1m 2m 3m 4m 5m 5m 6m 7m 8m 9m 9m 9m\n"
    "1m 1m 2m 3m 4m 2p 3p 4p 6s 7s 8s 北 北 北\n"
    "2m 2m 2m 5p 5p 5p 7s 7s 7s 東 東 東 白 白\n"
    "8m 9m 1p 2p 3p 4p 5s 6s 7s 東 東 東 白 白\n"
    "東 南 西 1m 2m 3m 4p 5p 6p 7s 8s 9s 中 中\n"
    "1m 1m 2m 2m 3m 3m 4m 4m 5m 5m 6m 6m 7m 7m\n";
const char* const kAnswers = "1\n1\n0\n0\n1\n0\n0\n1\n1\n1\n1\n0\n0\n1\n";

std::string ToShiftJis(std::string text) {
  const struct {
    const char* utf8;
    const char* shiftJis;
  } kHonours[] = {{"東", "\x93\x8C"}, {"南", "\x93\xEC"}, {"西", "\x90\xBC"}, {"北", "\x96\x6B"},
                  {"白", "\x94\x92"}, {"発", "\x94\xAD"}, {"中", "\x92\x86"}};
  for (const auto& honour : kHonours)
    for (std::size_t at; (at = text.find(honour.utf8)) != std::string::npos;)
      text.replace(at, std::string(honour.utf8).size(), honour.shiftJis);
  return text;
}

std::string WithoutBlanks(std::string text) {
  std::erase(text, ' ');
  return text;
}

TEST(CheckCommand, JudgesTheHandExamplesInBothEncodingsWithAndWithoutBlanks) {
  for (const std::string& input : {std::string(kHandsUtf8), ToShiftJis(kHandsUtf8), WithoutBlanks(kHandsUtf8),
                                   WithoutBlanks(ToShiftJis(kHandsUtf8))}) {
    const ProcessResult result = RunSim({"check"}, input);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, kAnswers);
    EXPECT_EQ(result.err, "");
  }
}

TEST(CheckCommand, DistanceFollowsEachAnswerAndThirteenTilesAreAHand) {
  const std::string input =
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n"      // complete
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中\n"         // thirteen, waiting on any orphan
      "1m 1m 1m 1m 5p 6p 7p 2s 3s 4s 7s 8s 9s\n"         // no fifth 1m to wait on
      "1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東 中\n"      // six pairs and a lone tile
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発\n"            // twelve
      "1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東 中 中\n";
  const ProcessResult result = RunSim({"check", "--distance"}, input);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "1 -1\n0 0\n0 1\n0 0\n-\n1 -1\n");
  EXPECT_NE(result.err.find("line 5: 12 tiles, a hand has 13 or 14"), std::string::npos) << result.err;
}

TEST(CheckCommand, AcceptsAnyOrderCrLfFullWidthSpacesAndAByteOrderMark) {
  const std::string input =
      "\xEF\xBB\xBF中 中 発 白 北 西 南 東 9s 1s 9p 1p 9m 1m\r\n"
      "1m\xE3\x80\x80" "1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東 中 中\r\n"
      "1m 2m 3m 4m 5m 6m 7m 8m 9m 1p 1p 1p 5s 5s";  // no line end at the end
  const ProcessResult result = RunSim({"check"}, input);
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "1\n1\n1\n");
}

TEST(CheckCommand, MalformedLinesAreNamedByNumberAndTheRestGoesOn) {
  const std::string input =
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中\n"        // 13 tiles
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n"
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 0z\n"     // unknown name
      "1m 1m 1m 1m 1m 2m 3m 4m 5m 6m 7m 8m 9m 9m\n"    // fifth 1m
      "\n"                                              // no tiles
      "1m 1m 3m 3m 5p 5p 7p 7p 2s 2s 東 東 中 中 中\n"  // 15 tiles
      "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 5m\n";
  const ProcessResult result = RunSim({"check"}, input);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "-\n1\n-\n-\n-\n-\n0\n");
  EXPECT_NE(result.err.find("line 1: 13 tiles"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("line 3: unknown tile name \"0z\""), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("line 4: a fifth 1m"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("line 5: 0 tiles"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("line 6: 15 tiles"), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("line 2"), std::string::npos);
  EXPECT_EQ(result.err.find("line 7"), std::string::npos);
}

TEST(CheckCommand, OverlongLineIsRejectedWithoutBeingHeld) {
  const std::string hand = "1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 中\n";
  const ProcessResult result = RunSim({"check"}, hand + std::string(3 << 20, ' ') + "1m\n" + hand);
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.out, "1\n-\n1\n");
  EXPECT_NE(result.err.find("line 2: longer than"), std::string::npos) << result.err;
}

TEST(HandLine, UnknownBytesAreShownReadablyAndAFifthHonourByItsName) {
  EXPECT_NE(ParseHandLine("1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 \xFF\xFE").error.find("\\xFF\\xFE"),
            std::string::npos);
  EXPECT_NE(ParseHandLine("東東東東東").error.find("a fifth 東"), std::string::npos);
  EXPECT_FALSE(ParseHandLine("1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 1").ok);
  EXPECT_FALSE(ParseHandLine("1m 9m 1p 9p 1s 9s 東 南 西 北 白 発 中 \xE6\x9D").ok);  // cut UTF-8
}

}  // namespace
}  // namespace kestrum::test
