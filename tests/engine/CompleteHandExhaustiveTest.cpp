// Every distinct complete hand of fourteen tiles, enumerated here without the
// engine's search, must be accepted, and hands one tile away from complete
// must be judged exactly as a second, counts-based checker judges them.
//
// The enumeration uses that the three suits and the honours decompose
// independently: runs never leave their suit and honours only form triplets
// and pairs. So a complete standard hand is one shape per group (a suit or
// the honours), each shape made of some of the four sets, one of them also
// holding the pair. A group's shape determines its set count and whether it
// holds the pair (its tile count is 3 per set plus 2), so every combination
// of shapes is a different hand and nothing needs removing twice.

#include "TestScale.h"
#include "engine/CompleteHand.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <iostream>
#include <set>
#include <string>
#include <vector>

namespace kestrum {
namespace {

using Counts = std::array<int, kTileKinds>;  // index: code - 1

constexpr int kSuitKinds = 9;
constexpr int kHonourKinds = 7;
constexpr int kMaxSets = 4;

// Complete hands that each test checks in full: all of them in an optimised
// build, one in this many under sanitizers.
constexpr int kCheckEvery = testing::kSlowBuild ? 101 : 1;

// One group's tiles as ranks 0..8 (or 0..6 for the honours), ascending.
struct Shape {
  std::array<int, kHandSize> ranks{};
  int size = 0;
  bool onlyPairs = true;  // every kind present holds exactly two
};

using GroupCounts = std::array<int, kSuitKinds>;

// Every distinct count vector of one group made of exactly `sets` sets and,
// with withPair, one pair; at most four tiles of a kind.
std::vector<Shape> GroupShapes(int kinds, bool runs, int sets, bool withPair) {
  std::set<GroupCounts> found;
  GroupCounts counts{};
  // Sets are added in nondecreasing order of a set index (runs 0..6, then
  // triplets), which reaches every multiset of sets once.
  const int runCount = runs ? kinds - 2 : 0;
  const auto addSets = [&](auto& self, int left, int from) -> void {
    if (left == 0) {
      if (!withPair) {
        found.insert(counts);
        return;
      }
      for (int k = 0; k < kinds; ++k) {
        if (counts[k] + 2 > 4) continue;
        counts[k] += 2;
        found.insert(counts);
        counts[k] -= 2;
      }
      return;
    }
    for (int set = from; set < runCount + kinds; ++set) {
      const bool isRun = set < runCount;
      const int first = isRun ? set : set - runCount;
      const int span = isRun ? 3 : 1;
      const int each = isRun ? 1 : 3;
      bool fits = true;
      for (int k = first; k < first + span; ++k) fits = fits && counts[k] + each <= 4;
      if (!fits) continue;
      for (int k = first; k < first + span; ++k) counts[k] += each;
      self(self, left - 1, set);
      for (int k = first; k < first + span; ++k) counts[k] -= each;
    }
  };
  addSets(addSets, sets, 0);

  std::vector<Shape> shapes;
  shapes.reserve(found.size());
  for (const GroupCounts& c : found) {
    Shape shape;
    for (int k = 0; k < kinds; ++k) {
      shape.onlyPairs = shape.onlyPairs && (c[k] == 0 || c[k] == 2);
      for (int n = 0; n < c[k]; ++n) shape.ranks[shape.size++] = k;
    }
    shapes.push_back(shape);
  }
  return shapes;
}

// shapes[suitOrHonours][sets][withPair]
struct ShapeTables {
  std::array<std::array<std::vector<Shape>, 2>, kMaxSets + 1> suit;
  std::array<std::array<std::vector<Shape>, 2>, kMaxSets + 1> honours;

  ShapeTables() {
    for (int sets = 0; sets <= kMaxSets; ++sets)
      for (int pair = 0; pair < 2; ++pair) {
        suit[sets][pair] = GroupShapes(kSuitKinds, true, sets, pair == 1);
        honours[sets][pair] = GroupShapes(kHonourKinds, false, sets, pair == 1);
      }
  }
  const std::vector<Shape>& Of(int group, int sets, bool pair) const {
    return group == 3 ? honours[sets][pair] : suit[sets][pair];
  }
};

const ShapeTables& Shapes() {
  static const ShapeTables tables;
  return tables;
}

// Calls visit(hand, onlyPairs) for every distinct complete standard hand
// whose pair lies in the given group (0..2 the suits, 3 the honours), in a
// fixed order.
template <class Visit>
void ForEachStandardHand(int pairGroup, Visit&& visit) {
  const ShapeTables& tables = Shapes();
  std::array<int, 4> sets{};
  {
    for (sets[0] = 0; sets[0] <= kMaxSets; ++sets[0])
      for (sets[1] = 0; sets[0] + sets[1] <= kMaxSets; ++sets[1])
        for (sets[2] = 0; sets[0] + sets[1] + sets[2] <= kMaxSets; ++sets[2]) {
          sets[3] = kMaxSets - sets[0] - sets[1] - sets[2];
          std::array<const std::vector<Shape>*, 4> lists{};
          for (int g = 0; g < 4; ++g) lists[g] = &tables.Of(g, sets[g], g == pairGroup);
          Hand hand{};
          const auto place = [&](auto& self, int group, int filled, bool onlyPairs) -> void {
            if (group == 4) {
              visit(hand, onlyPairs);
              return;
            }
            for (const Shape& shape : *lists[group]) {
              for (int i = 0; i < shape.size; ++i) hand[filled + i] = group * kSuitKinds + shape.ranks[i] + 1;
              self(self, group + 1, filled + shape.size, onlyPairs && shape.onlyPairs);
            }
          };
          place(place, 0, 0, true);
        }
  }
}

template <class Visit>
void ForEachStandardHand(Visit&& visit) {
  for (int pairGroup = 0; pairGroup < 4; ++pairGroup) ForEachStandardHand(pairGroup, visit);
}

// Calls visit(hand) for every hand of seven different kinds, two of each.
template <class Visit>
void ForEachSevenPairsHand(Visit&& visit) {
  Hand hand{};
  const auto choose = [&](auto& self, int pair, TileCode from) -> void {
    if (pair == 7) {
      visit(hand);
      return;
    }
    for (TileCode code = from; code <= kTileKinds - (6 - pair); ++code) {
      hand[2 * pair] = hand[2 * pair + 1] = code;
      self(self, pair + 1, code + 1);
    }
  };
  choose(choose, 0, 1);
}

constexpr std::array<TileCode, 13> kOrphans = {1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34};

std::vector<Hand> ThirteenOrphansHands() {
  std::vector<Hand> hands;
  for (TileCode extra : kOrphans) {
    Hand hand{};
    int n = 0;
    for (TileCode code : kOrphans) {
      hand[n++] = code;
      if (code == extra) hand[n++] = code;
    }
    hands.push_back(hand);
  }
  return hands;
}

// --- the second checker: plain backtracking over counts -------------------

bool SetsFrom(Counts& c, int kind) {
  while (kind < kTileKinds && c[kind] == 0) ++kind;
  if (kind == kTileKinds) return true;
  if (c[kind] >= 3) {
    c[kind] -= 3;
    const bool ok = SetsFrom(c, kind);
    c[kind] += 3;
    if (ok) return true;
  }
  const bool suit = kind < 27 && kind % 9 <= 6;
  if (suit && c[kind + 1] > 0 && c[kind + 2] > 0) {
    --c[kind], --c[kind + 1], --c[kind + 2];
    const bool ok = SetsFrom(c, kind);
    ++c[kind], ++c[kind + 1], ++c[kind + 2];
    if (ok) return true;
  }
  return false;
}

bool CheckerSaysComplete(Counts c) {
  int kinds = 0;
  int pairs = 0;
  for (int n : c) kinds += n > 0, pairs += n == 2;
  if (pairs == 7 && kinds == 7) return true;
  bool allOrphans = kinds == 13;
  for (TileCode code : kOrphans) allOrphans = allOrphans && c[code - 1] >= 1;
  if (allOrphans) return true;
  for (int kind = 0; kind < kTileKinds; ++kind) {
    if (c[kind] < 2) continue;
    c[kind] -= 2;
    const bool ok = SetsFrom(c, 0);
    c[kind] += 2;
    if (ok) return true;
  }
  return false;
}

Counts CountsOf(const Hand& hand) {
  Counts c{};
  for (TileCode code : hand) ++c[code - 1];
  return c;
}

Hand HandOf(const Counts& c) {
  Hand hand{};
  int n = 0;
  for (int kind = 0; kind < kTileKinds; ++kind)
    for (int k = 0; k < c[kind]; ++k) hand[n++] = kind + 1;
  return hand;
}

HandForm Classify(const Hand& hand) {
  bool pairTaken = false;
  return ClassifyHand(hand, pairTaken);
}

// Every way of changing one tile of the hand into another kind, keeping at
// most four of a kind, judged by the engine and by the checker. Returns how
// many of them were complete.
int ExpectNearMissesJudgedAlike(const Hand& complete, int& judged) {
  int stillComplete = 0;
  Counts c = CountsOf(complete);
  for (int from = 0; from < kTileKinds; ++from) {
    if (c[from] == 0) continue;
    for (int to = 0; to < kTileKinds; ++to) {
      if (to == from || c[to] == 4) continue;
      --c[from], ++c[to];
      const bool expected = CheckerSaysComplete(c);
      const Hand hand = HandOf(c);
      const bool engine = Classify(hand) != HandForm::kNone;
      ++judged;
      stillComplete += expected;
      if (engine != expected) {
        ADD_FAILURE() << "hand " << HandText(hand) << ": engine " << engine << ", checker " << expected;
        return stillComplete;
      }
      ++c[from], --c[to];
    }
  }
  return stillComplete;
}

// --- the tests ---------------------------------------------------------------

// One test per group holding the pair, so that the four can run side by side.
class EveryStandardHand : public ::testing::TestWithParam<int> {};

TEST_P(EveryStandardHand, IsAccepted) {
  long long index = 0;
  long long wrong = 0;
  ForEachStandardHand(GetParam(), [&](const Hand& hand, bool onlyPairs) {
    if (index++ % kCheckEvery != 0) return;
    // Seven pairs are tried first, so a hand of that shape is named by it.
    const HandForm expected = onlyPairs ? HandForm::kSevenPairs : HandForm::kStandard;
    const HandForm form = Classify(hand);
    if (form != expected && wrong++ < 5) ADD_FAILURE() << "hand " << HandText(hand) << " judged " << int(form);
  });
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(index, 0);
}

std::string GroupName(const ::testing::TestParamInfo<int>& info) {
  static const char* const kNames[] = {"Characters", "Circles", "Bamboo", "Honours"};
  return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(PairInGroup, EveryStandardHand, ::testing::Range(0, 4), GroupName);

TEST(EveryCompleteHand, CountsAreThoseOfTheTiles) {
  long long standard = 0;
  long long alsoSevenPairs = 0;
  ForEachStandardHand([&](const Hand&, bool onlyPairs) {
    ++standard;
    alsoSevenPairs += onlyPairs;
  });
  long long sevenPairs = 0;
  ForEachSevenPairsHand([&](const Hand&) { ++sevenPairs; });
  const long long distinct = standard + sevenPairs - alsoSevenPairs + 13;
  std::cout << "distinct complete hands: " << distinct << " (standard " << standard << ", seven pairs "
            << sevenPairs << ", both " << alsoSevenPairs << ", thirteen orphans 13)\n";
  // Facts about the tiles, not about the code: 11498658 is the known number
  // of complete standard shapes of fourteen tiles with at most four of a kind.
  EXPECT_EQ(standard, 11498658);
  EXPECT_EQ(sevenPairs, 5379616);  // 34 choose 7
  EXPECT_EQ(alsoSevenPairs, 4668);
  EXPECT_EQ(distinct, 16873619);
}

TEST(EveryCompleteHand, SevenPairsAndThirteenOrphansAreAllAccepted) {
  long long sevenPairs = 0;
  long long wrong = 0;
  ForEachSevenPairsHand([&](const Hand& hand) {
    if (sevenPairs++ % kCheckEvery != 0) return;
    if (Classify(hand) != HandForm::kSevenPairs && wrong++ < 5) ADD_FAILURE() << "hand " << HandText(hand);
  });
  EXPECT_EQ(wrong, 0);
  for (const Hand& hand : ThirteenOrphansHands())
    EXPECT_EQ(Classify(hand), HandForm::kThirteenOrphans) << HandText(hand);
}

TEST(NearMisses, StandardHandsWithOneTileChangedAreJudgedLikeTheChecker) {
  const long long every = testing::kSlowBuild ? 6007 : 2003;
  long long index = 0;
  int judged = 0;
  int complete = 0;
  const auto visit = [&](const Hand& hand, bool) {
    if (index++ % every == 0) complete += ExpectNearMissesJudgedAlike(hand, judged);
  };
  // Where the code runs slowly only the hands with the pair among the
  // honours (the fewest) are sampled.
  for (int pairGroup = testing::kSlowBuild ? 3 : 0; pairGroup < 4; ++pairGroup) ForEachStandardHand(pairGroup, visit);
  std::cout << "near misses judged: " << judged << ", complete among them: " << complete << "\n";
  EXPECT_GT(complete, 0);
  EXPECT_LT(complete, judged);
}

TEST(NearMisses, SevenPairsAndThirteenOrphansWithOneTileChanged) {
  const long long every = testing::kSlowBuild ? 20011 : 997;
  long long index = 0;
  int judged = 0;
  int complete = 0;
  ForEachSevenPairsHand([&](const Hand& hand) {
    if (index++ % every == 0) complete += ExpectNearMissesJudgedAlike(hand, judged);
  });
  for (const Hand& hand : ThirteenOrphansHands()) complete += ExpectNearMissesJudgedAlike(hand, judged);
  std::cout << "near misses judged: " << judged << ", complete among them: " << complete << "\n";
  EXPECT_GT(complete, 0);
}

TEST(NearMisses, TheCheckerAgreesWithTheKnownHands) {
  // A check of the checker on shapes whose answer is plain.
  EXPECT_TRUE(CheckerSaysComplete(CountsOf({1, 1, 2, 3, 4, 11, 12, 13, 24, 25, 26, 31, 31, 31})));
  EXPECT_FALSE(CheckerSaysComplete(CountsOf({8, 9, 10, 11, 12, 13, 23, 24, 25, 28, 28, 28, 32, 32})));
  EXPECT_FALSE(CheckerSaysComplete(CountsOf({1, 1, 1, 1, 3, 3, 14, 14, 16, 16, 20, 20, 28, 28})));
  EXPECT_TRUE(CheckerSaysComplete(CountsOf({1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34, 34})));
}

}  // namespace
}  // namespace kestrum
