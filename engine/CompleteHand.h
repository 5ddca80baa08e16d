#pragma once
// Whether fourteen tiles already form a complete hand: thirteen orphans,
// seven pairs, or four sets and a pair, tried in that order.

#include <array>

#include "engine/Tiles.h"

namespace kestrum {

// Fourteen slots of tile codes; 0 marks a slot whose tile has been removed.
using TileList = std::array<TileCode, kHandSize>;

enum class HandForm { kNone, kThirteenOrphans, kSevenPairs, kStandard };

// The index of the first entry of the hand equal to code, or -1.
int FindTile(const Hand& hand, TileCode code);

// The number of non-empty slots.
int CountTiles(const TileList& list);

bool IsTerminalOrHonour(TileCode code);

// Runs start only at ranks 1..7 of a suit, so that a run never crosses into
// the next suit and honours never form one.
constexpr bool IsRunStart(TileCode code) { return code >= 1 && code <= 27 && (code - 1) % 9 <= 6; }

// The hand must be sorted ascending and hold no empty slot.
bool IsThirteenOrphans(const Hand& hand);
bool IsSevenPairs(const Hand& hand);

// Depth-first search that always settles the smallest remaining tile first:
// run, then triplet, then (once per evaluation, tracked by pairTaken) the
// pair. It reorders the list in place, so callers pass a copy. A false
// answer leaves pairTaken as it found it.
bool IsStandardForm(TileList& list, bool& pairTaken);

// Clears pairTaken, then tries the three forms in order; the first that
// accepts names the form. The hand itself is left unchanged.
HandForm ClassifyHand(const Hand& hand, bool& pairTaken);

inline bool IsCompleteHand(const Hand& hand, bool& pairTaken) {
  return ClassifyHand(hand, pairTaken) != HandForm::kNone;
}

}  // namespace kestrum
