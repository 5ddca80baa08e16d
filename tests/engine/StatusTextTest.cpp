// The text that mirrors each game into the status block.

#include "engine/StatusText.h"

#include <gtest/gtest.h>

#include <string>

namespace kestrum {
namespace {

// 2m 3m 3m 7m 1p 1p 5p 9p 4s 6s East West White Red.
constexpr Hand kOrdinaryHand = {2, 3, 3, 7, 10, 10, 14, 18, 22, 24, 28, 30, 32, 34};

TEST(StatusText, IsResultHandAndRunLengthInShiftJis) {
  const std::string text = StatusText(false, kOrdinaryHand, TileNames(), 1234);
  EXPECT_EQ(text,
            "0*2m3m3m7m1p1p5p9p4s6s"
            "\x93\x8C\x90\xBC\x94\x92\x92\x86"
            "+1234");
  EXPECT_EQ(text.size(), 35u);  // the block also gets the zero byte behind it
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST(StatusText, AHeavenlyHandStartsWithOne) {
  const Hand hand = {1, 1, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 9, 9};
  EXPECT_EQ(StatusText(true, hand, TileNames(), 7), "1*1m1m1m2m3m4m5m5m6m7m8m9m9m9m+7");
}

TEST(StatusText, GrowsByOneByteADigit) {
  EXPECT_EQ(StatusText(false, kOrdinaryHand, TileNames(), 1).size(), 32u);
  EXPECT_EQ(StatusText(false, kOrdinaryHand, TileNames(), 100).size(), 34u);
  const std::string longest = StatusText(false, kOrdinaryHand, TileNames(), INT64_MAX);
  EXPECT_EQ(longest.substr(31), "9223372036854775807");
  EXPECT_LT(longest.size() + 1, static_cast<std::size_t>(kStatusBlockSize));
}

TEST(StatusText, ReadsBackWhatItWrites) {
  for (const Count64 run : {Count64{0}, Count64{1}, Count64{1234}, Count64{INT64_MAX}}) {
    const auto reading = ParseStatusText(StatusText(run % 2 == 1, kOrdinaryHand, TileNames(), run));
    ASSERT_TRUE(reading.has_value()) << run;
    EXPECT_EQ(reading->tenhou, run % 2 == 1);
    EXPECT_EQ(reading->hand, kOrdinaryHand);
    EXPECT_EQ(reading->sinceCnt, run);
  }
}

TEST(StatusText, ReadsOnlyWhatTheWriterCouldHaveWritten) {
  const std::string good = StatusText(false, kOrdinaryHand, TileNames(), 12);
  std::string noName = good;
  noName[2] = 'x';
  std::string halfHonour = good;
  halfHonour[23] = '\x1B';
  for (const std::string& bad :
       {std::string(), std::string("2") + good.substr(1), good.substr(0, 30) + "-12", good.substr(0, 30) + "+012",
        good.substr(0, 30) + "+", good.substr(0, 30) + "+12 ", good.substr(0, 30) + "+99999999999999999999",
        good.substr(0, 29) + "+12", noName, halfHonour}) {
    EXPECT_FALSE(ParseStatusText(bad).has_value()) << bad;
  }
}

}  // namespace
}  // namespace kestrum
