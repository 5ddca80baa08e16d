// The compact notation against the tile names check has always read: random
// hands, complete and not, written both ways and mixed, must read as the
// same sorted hand, in ParseHandLine and through the real kestrum-sim.

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ProcessRun.h"
#include "cli/HandLine.h"
#include "engine/CompleteHand.h"

namespace kestrum::test {
namespace {

constexpr const char* kUtf8Honours[] = {"東", "南", "西", "北", "白", "発", "中"};
constexpr const char* kShiftJisHonours[] = {"\x93\x8C", "\x93\xEC", "\x90\xBC", "\x96\x6B",
                                            "\x94\x92", "\x94\xAD", "\x92\x86"};

char SuitLetter(TileCode code) { return "mpsz"[TileRow(code)]; }
char RankDigit(TileCode code) { return static_cast<char>('1' + TileColumn(code)); }

std::string Name(TileCode code, bool shiftJis) {
  if (code >= 28) return (shiftJis ? kShiftJisHonours : kUtf8Honours)[code - 28];
  return std::string{RankDigit(code), SuitLetter(code)};
}

class HandWriter {
 public:
  explicit HandWriter(unsigned seed) : random_(seed) {}

  // Any fourteen tiles of a wall.
  Hand RandomDeal() {
    Wall wall;
    FillWall(wall);
    std::shuffle(wall.begin(), wall.end(), random_);
    Hand hand;
    std::copy_n(wall.begin(), kHandSize, hand.begin());
    return hand;
  }

  // One of the three complete forms, drawn so that no kind exceeds four.
  Hand RandomComplete() {
    std::vector<TileCode> tiles;
    std::array<int, kTileKinds + 1> copies{};
    auto take = [&](TileCode code, int count) {
      copies[code] += count;
      tiles.insert(tiles.end(), count, code);
    };
    auto kind = [&] { return static_cast<TileCode>(1 + random_() % kTileKinds); };
    switch (random_() % 3) {
      case 0: {
        constexpr TileCode kOrphans[] = {1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34};
        for (TileCode code : kOrphans) take(code, 1);
        take(kOrphans[random_() % 13], 1);
        break;
      }
      case 1:
        while (tiles.size() < 14)
          if (const TileCode code = kind(); copies[code] == 0) take(code, 2);
        break;
      default:
        take(kind(), 2);
        while (tiles.size() < 14) {
          const TileCode code = kind();
          if (random_() % 2 == 0 && IsRunStart(code)) {
            if (copies[code] < 4 && copies[code + 1] < 4 && copies[code + 2] < 4)
              for (int step = 0; step < 3; ++step) take(code + step, 1);
          } else if (copies[code] <= 1) {
            take(code, 3);
          }
        }
    }
    Hand hand;
    std::copy(tiles.begin(), tiles.end(), hand.begin());
    return hand;
  }

  std::string Names(Hand hand, bool shiftJis) {
    std::shuffle(hand.begin(), hand.end(), random_);
    std::string line;
    for (TileCode code : hand) line += Name(code, shiftJis) + (random_() % 2 ? " " : "");
    return line;
  }

  // Groups in a random order of suits, digits in a random order within each;
  // a five is sometimes written as the red 0.
  std::string Compact(const Hand& hand) {
    std::string suits = "mpsz";
    std::shuffle(suits.begin(), suits.end(), random_);
    std::string line;
    for (char suit : suits) {
      std::string digits;
      for (TileCode code : hand)
        if (SuitLetter(code) == suit) digits += RankDigit(code) == '5' && suit != 'z' && random_() % 4 == 0 ? '0' : RankDigit(code);
      std::shuffle(digits.begin(), digits.end(), random_);
      if (!digits.empty()) line += digits + suit + (random_() % 3 == 0 ? " " : "");
    }
    return line;
  }

  // Each tile its own way: a name in either encoding, or a digit that may
  // share its suit letter with the tiles of that suit after it.
  std::string Mixed(Hand hand) {
    std::shuffle(hand.begin(), hand.end(), random_);
    std::string line;
    bool groupOpen = false;
    for (std::size_t i = 0; i < hand.size(); ++i) {
      const TileCode code = hand[i];
      if (!groupOpen && random_() % 2 == 0) {
        line += Name(code, random_() % 2 == 0);
      } else {
        line += RankDigit(code);
        groupOpen = i + 1 < hand.size() && SuitLetter(hand[i + 1]) == SuitLetter(code) && random_() % 2 == 0;
        if (groupOpen) continue;
        line += SuitLetter(code);
      }
      if (random_() % 2 == 0) line += ' ';
    }
    return line;
  }

 private:
  std::mt19937 random_;
};

Hand Sorted(Hand hand) {
  std::sort(hand.begin(), hand.end());
  return hand;
}

TEST(HandLine, EveryWayOfWritingARandomHandReadsAsTheSameHand) {
  HandWriter writer(20261208);
  for (int round = 0; round < 4000; ++round) {
    const Hand hand = round % 2 == 0 ? writer.RandomDeal() : writer.RandomComplete();
    for (const std::string& line : {writer.Names(hand, false), writer.Names(hand, true), writer.Compact(hand),
                                    writer.Mixed(hand)}) {
      const HandLineResult result = ParseHandLine(line);
      ASSERT_TRUE(result.ok) << line << ": " << result.error;
      ASSERT_EQ(result.hand, Sorted(hand)) << line;
    }
  }
}

TEST(HandLine, CheckAnswersTheCompactFormAsItAnswersTheNames) {
  HandWriter writer(1301);
  std::string names;
  std::string compact;
  std::string mixed;
  std::string expected;
  int complete = 0;
  for (int round = 0; round < 600; ++round) {
    const Hand hand = round % 3 == 0 ? writer.RandomDeal() : writer.RandomComplete();
    names += writer.Names(hand, round % 2 == 0) + "\n";
    compact += writer.Compact(hand) + "\n";
    mixed += writer.Mixed(hand) + "\n";
    bool pairTaken = false;
    const bool isComplete = ClassifyHand(Sorted(hand), pairTaken) != HandForm::kNone;
    complete += isComplete ? 1 : 0;
    expected += isComplete ? "1\n" : "0\n";
  }
  ASSERT_GT(complete, 300);
  for (const std::string& input : {names, compact, mixed}) {
    const ProcessResult result = RunSim({"check"}, input);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, expected);
  }
}

TEST(HandLine, TheCommunityExamplesAndTheRedFive) {
  EXPECT_EQ(ParseHandLine("19m19p19s12345677z").hand, ParseHandLine("1m9m1p9p1s9s東南西北白発中中").hand);
  EXPECT_EQ(ParseHandLine("123m456p789s11122z").hand, ParseHandLine("1m2m3m4p5p6p7s8s9s東東東南南").hand);
  EXPECT_EQ(ParseHandLine("0m0p0s 123456789m 11z").hand, ParseHandLine("5m5p5s 123456789m 11z").hand);
  EXPECT_TRUE(ParseHandLine("1z2z3z4z5z6z7z 19m19p19s 7z").ok);
}

TEST(HandLine, MalformedCompactGroupsSayWhatAndWhere) {
  const struct {
    const char* line;
    const char* error;
  } kCases[] = {
      {"123m456p789s11122", "digits \"11122\" without a suit letter (m, p, s or z) at byte 13"},
      {"123m456p789s 1 1122z", "digits \"1\" without a suit letter (m, p, s or z) at byte 14"},
      {"東123", "digits \"123\" without a suit letter (m, p, s or z) at byte 4"},
      {"123M456p789s11122z", "digits \"123\" without a suit letter"},
      {"123m456p789s11128z", "unknown tile name \"8z\" at byte 17 (honours are 1z to 7z)"},
      {"0z123m456p789s1112z", "unknown tile name \"0z\" at byte 1"},
      {"9z", "unknown tile name \"9z\""},
      {"123m456p789s m11z", "unknown tile name \"m11z\" at byte 14"},
      {"05555m123p456s789s", "a fifth 5m"},
      {"1111z 2z 3z 4z 1z", "a fifth 東"},
      {"123m456p789s1122z", "13 tiles, a hand has 14"},
      {"123m456p789s111222z", "15 tiles, a hand has 14"},
  };
  for (const auto& bad : kCases) {
    const HandLineResult result = ParseHandLine(bad.line);
    EXPECT_FALSE(result.ok) << bad.line;
    EXPECT_NE(result.error.find(bad.error), std::string::npos) << bad.line << ": " << result.error;
  }
}

}  // namespace
}  // namespace kestrum::test
