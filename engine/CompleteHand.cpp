#include "engine/CompleteHand.h"

#include <utility>

namespace kestrum {
namespace {

constexpr std::array<TileCode, 13> kOrphanCodes = {1, 9, 10, 18, 19, 27, 28, 29, 30, 31, 32, 33, 34};

// Moves the non-empty tiles to the front in ascending order, empty slots
// behind. The search hands down lists that were sorted before it emptied a
// few slots, so a stable compaction leaves them sorted already and the
// insertion sort after it only walks the list once; a list in any other
// order still comes out sorted.
void CompactAndSort(TileList& list) {
  int filled = 0;
  for (int i = 0; i < kHandSize; ++i)
    if (list[i] != 0) list[filled++] = list[i];
  for (int i = filled; i < kHandSize; ++i) list[i] = 0;
  for (int i = 1; i < filled; ++i) {
    const TileCode code = list[i];
    int j = i;
    for (; j > 0 && list[j - 1] > code; --j) list[j] = list[j - 1];
    list[j] = code;
  }
}

// The rest of the list after a set or the pair has been taken out of buf:
// complete when nothing is left, otherwise whatever the search finds.
bool RestIsComplete(TileList& buf, bool& pairTaken) {
  return CountTiles(buf) == 0 || IsStandardForm(buf, pairTaken);
}

// Empties the first slot from 1 on that holds code; false when none does.
bool TakeFirst(TileList& buf, TileCode code) {
  for (int i = 1; i < kHandSize; ++i) {
    if (buf[i] == code) {
      buf[i] = 0;
      return true;
    }
  }
  return false;
}

}  // namespace

int FindTile(const Hand& hand, TileCode code) {
  for (int i = 0; i < kHandSize; ++i)
    if (hand[i] == code) return i;
  return -1;
}

int CountTiles(const TileList& list) {
  int count = 0;
  for (TileCode code : list) count += code != 0;
  return count;
}

bool IsTerminalOrHonour(TileCode code) {
  for (TileCode orphan : kOrphanCodes)
    if (code == orphan) return true;
  return false;
}

bool IsThirteenOrphans(const Hand& hand) {
  TileList work = hand;
  for (TileCode code : kOrphanCodes) {
    const int i = FindTile(hand, code);
    if (i < 0) return false;
    work[i] = 0;
  }
  // One slot is left: the fourteenth tile, which must itself be an orphan.
  for (TileCode code : work)
    if (code != 0) return IsTerminalOrHonour(code);
  return false;
}

bool IsSevenPairs(const Hand& hand) {
  int pairs = 0;
  for (int j = 0; j < kHandSize; j += 2) {
    const bool equal = hand[j] != 0 && hand[j] == hand[j + 1];
    // A third equal tile behind the pair means four of a kind (or three),
    // which never counts as pairs.
    const bool closed = j == kHandSize - 2 || hand[j + 2] != hand[j];
    pairs += equal && closed;
  }
  return pairs == 7;
}

bool IsStandardForm(TileList& list, bool& pairTaken) {
  const int count = CountTiles(list);
  if (count > kHandSize || count < 2) return false;
  if (list[0] == 0) CompactAndSort(list);

  const TileCode t = list[0];
  TileList buf = list;

  if (IsRunStart(t)) {
    const bool second = TakeFirst(buf, t + 1);
    const bool third = TakeFirst(buf, t + 2);
    if (second && third) {
      buf[0] = 0;
      if (RestIsComplete(buf, pairTaken)) return true;
    }
    buf = list;
  }

  if (list[0] == list[1] && list[1] == list[2]) {
    buf[0] = buf[1] = buf[2] = 0;
    if (RestIsComplete(buf, pairTaken)) return true;
    buf = list;
  }

  if (pairTaken || list[0] != list[1]) return false;
  pairTaken = true;
  buf[0] = buf[1] = 0;
  if (RestIsComplete(buf, pairTaken)) return true;
  pairTaken = false;
  return false;
}

HandForm ClassifyHand(const Hand& hand, bool& pairTaken) {
  pairTaken = false;
  if (IsThirteenOrphans(hand)) return HandForm::kThirteenOrphans;
  if (IsSevenPairs(hand)) return HandForm::kSevenPairs;
  TileList list = hand;
  if (IsStandardForm(list, pairTaken)) return HandForm::kStandard;
  return HandForm::kNone;
}

}  // namespace kestrum
