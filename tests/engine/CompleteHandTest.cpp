// The complete-hand test on hands a player would recognise, and the small
// helpers it is built from.

#include "HandNotation.h"
#include "engine/CompleteHand.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace kestrum {
namespace {

using testing::ParseHand;

struct Example {
  const char* hand;
  HandForm form;
  const char* why;
};

const Example kExamples[] = {
    // Thirteen orphans.
    {"1m 9m 1p 9p 1s 9s East South West North White Green Red Red", HandForm::kThirteenOrphans, "the start hand"},
    {"1m 1m 9m 1p 9p 1s 9s East South West North White Green Red", HandForm::kThirteenOrphans, "pair on 1m"},
    {"1m 1m 9m 1p 9p 1s 9s East South West North White Green Green", HandForm::kNone, "no red dragon"},
    {"1m 9m 1p 9p 1s 9s East South West North White Green Red 5m", HandForm::kNone, "5m is no orphan"},
    {"1m 9m 9m 1p 9p 1s 9s East South West North White Green Red", HandForm::kThirteenOrphans, "pair on 9m"},
    // Seven pairs.
    {"1m 1m 3m 3m 5p 5p 7p 7p 2s 2s East East Red Red", HandForm::kSevenPairs, "seven kinds, two each"},
    {"1m 1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s East East", HandForm::kNone, "four equal tiles are not two pairs"},
    {"1m 1m 1m 3m 3m 5p 5p 7p 7p 2s 2s East East Red", HandForm::kNone, "a triplet spoils the pairing"},
    {"1m 1m 9m 9m 1p 1p 9p 9p 1s 1s 9s 9s East East", HandForm::kSevenPairs, "orphans in pairs are no thirteen"},
    {"1m 1m 2m 2m 3m 3m 4m 4m 5m 5m 6m 6m 7m 7m", HandForm::kSevenPairs, "seven pairs come before sets"},
    {"East East South South West West North North White White Green Green Red Red", HandForm::kSevenPairs,
     "all honours"},
    // Four sets and a pair.
    {"1m 1m 1m 1m 2m 3m 4p 5p 6p 7s 8s 9s East East", HandForm::kStandard, "triplet and a run share 1m"},
    {"1m 1m 1m 2m 3m 4m 5m 5m 6m 7m 8m 9m 9m 9m", HandForm::kStandard, "one suit, pair in the middle"},
    {"1m 1m 2m 3m 4m 2p 3p 4p 6s 7s 8s North North North", HandForm::kStandard, "the search must go back"},
    {"2m 2m 2m 5p 5p 5p 7s 7s 7s East East East White White", HandForm::kStandard, "four triplets"},
    {"1m 1m 1m 2m 2m 2m 3m 3m 3m 4m 4m 4m 5m 5m", HandForm::kStandard, "triplets or runs alike"},
    {"7m 8m 9m 7p 8p 9p 7s 8s 9s 7s 8s 9s 5p 5p", HandForm::kStandard, "runs ending on the nines"},
    {"8m 9m 1p 2p 3p 4p 5s 6s 7s East East East White White", HandForm::kNone, "8m 9m 1p is no run"},
    {"9m 1p 2p 4p 5p 6p 5s 6s 7s East East East White White", HandForm::kNone, "9m 1p 2p is no run"},
    {"8s 9s East 1m 2m 3m 4p 5p 6p 7s 7s 7s Red Red", HandForm::kNone, "a run does not reach the honours"},
    {"East South West 1m 2m 3m 4p 5p 6p 7s 8s 9s Red Red", HandForm::kNone, "winds in sequence are no run"},
    {"White Green Red 1m 2m 3m 4p 5p 6p 7s 8s 9s East East", HandForm::kNone, "dragons in sequence are no run"},
    {"1m 2m 3m 4m 5m 6m 7m 8m 9m 1p 2p 3p 4p 4p", HandForm::kStandard, "one-suit straight"},
    {"1m 2m 3m 4m 5m 6m 7m 8m 9m 1p 2p 3p 4p 5p", HandForm::kNone, "no pair"},
    {"1m 1m 2m 2m 3m 3m 4p 4p 4p 9s 9s 9s East East", HandForm::kStandard, "two equal runs"},
    {"1m 1m 1m 2m 2m 2m 3m 3m 4p 4p 5p 5p 6p 6p", HandForm::kStandard, "runs hidden in pairs"},
};

class KnownHands : public ::testing::TestWithParam<Example> {};

TEST_P(KnownHands, AreJudgedByTheirShape) {
  const Example& example = GetParam();
  const Hand hand = ParseHand(example.hand);
  const Hand before = hand;
  bool pairTaken = true;  // left over from an earlier evaluation
  const HandForm form = ClassifyHand(hand, pairTaken);
  EXPECT_EQ(form, example.form) << example.hand << ": " << example.why;
  EXPECT_EQ(hand, before) << "the test must leave the hand alone";
  EXPECT_EQ(pairTaken, form == HandForm::kStandard) << "the pair flag after the search";
  bool again = false;
  EXPECT_EQ(IsCompleteHand(hand, again), example.form != HandForm::kNone);
}

// "pair on 1m" names its case PairOn1m, so ctest lists what each one is about.
std::string CaseName(const ::testing::TestParamInfo<Example>& info) {
  std::string name;
  bool wordStart = true;
  for (const char* c = info.param.why; *c != '\0'; ++c) {
    const unsigned char ch = static_cast<unsigned char>(*c);
    if (!std::isalnum(ch)) {
      wordStart = true;
      continue;
    }
    name += wordStart ? static_cast<char>(std::toupper(ch)) : static_cast<char>(ch);
    wordStart = false;
  }
  return name;
}

INSTANTIATE_TEST_SUITE_P(Examples, KnownHands, ::testing::ValuesIn(kExamples), CaseName);

TEST(CompleteHandParts, FindTileGivesTheFirstIndexOrMinusOne) {
  const Hand hand = ParseHand("1m 1m 1m 2m 3m 4m 5m 5m 6m 7m 8m 9m 9m 9m");
  EXPECT_EQ(FindTile(hand, 1), 0);
  EXPECT_EQ(FindTile(hand, 5), 6);
  EXPECT_EQ(FindTile(hand, 9), 11);
  EXPECT_EQ(FindTile(hand, 10), -1);
  EXPECT_EQ(FindTile(hand, 0), -1);
}

TEST(CompleteHandParts, CountTilesIgnoresEmptySlots) {
  EXPECT_EQ(CountTiles(TileList{}), 0);
  EXPECT_EQ(CountTiles(TileList{0, 5, 0, 7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 34}), 3);
  EXPECT_EQ(CountTiles(ParseHand("1m 9m 1p 9p 1s 9s East South West North White Green Red Red")), 14);
}

TEST(CompleteHandParts, RunsStartOnlyAtRanksOneToSeven) {
  std::vector<TileCode> starts;
  for (TileCode code = 0; code <= kTileKinds; ++code)
    if (IsRunStart(code)) starts.push_back(code);
  const std::vector<TileCode> expected = {1,  2,  3,  4,  5,  6,  7,  10, 11, 12, 13,
                                          14, 15, 16, 19, 20, 21, 22, 23, 24, 25};
  EXPECT_EQ(starts, expected);
}

TEST(CompleteHandParts, OrphansAreTerminalsAndHonours) {
  std::vector<TileCode> orphans;
  for (TileCode code = 0; code <= kTileKinds; ++code)
    if (IsTerminalOrHonour(code)) orphans.push_back(code);
  EXPECT_EQ(orphans, (std::vector<TileCode>{1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34}));
}

TEST(StandardForm, WorksOnPartListsWithEmptySlotsAnywhere) {
  bool pairTaken = false;
  TileList scattered = {0, 9, 0, 9, 9, 0, 3, 1, 2, 0, 5, 5, 0, 0};  // 1m2m3m 9m9m9m 5m5m
  EXPECT_TRUE(IsStandardForm(scattered, pairTaken));
  EXPECT_TRUE(pairTaken);

  pairTaken = false;
  TileList lone = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 7};
  EXPECT_FALSE(IsStandardForm(lone, pairTaken));
  EXPECT_FALSE(pairTaken);

  pairTaken = true;  // a pair is already taken: a second one is refused
  TileList pair = {4, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(IsStandardForm(pair, pairTaken));
  EXPECT_TRUE(pairTaken);
}

TEST(StandardForm, AFailedSearchLeavesThePairFlagAsItFoundIt) {
  for (bool start : {false, true}) {
    bool pairTaken = start;
    TileList list = ParseHand("1m 1m 2m 2m 5m 5m 7p 8p 9p 2s 2s 2s East South");
    EXPECT_FALSE(IsStandardForm(list, pairTaken));
    EXPECT_EQ(pairTaken, start);
  }
}

}  // namespace
}  // namespace kestrum
