#pragma once
// What the tests of the batch runner share.

#include <atomic>

#include "batch/BatchRunner.h"

namespace kestrum::test {

inline const std::atomic<bool> kNeverStop{false};

// A made-up game of a test double: its distances follow from its place, so
// that the histograms of two runs can be compared.
inline void CountMadeUpGame(BlockResult& result, std::uint64_t block, std::uint32_t game) {
  const auto slot = static_cast<std::size_t>((block * 7 + game * 13) % kDistanceSlots);
  ++result.distances.dealer[slot];
  ++result.distances.firstThirteen[(slot * 5 + block) % kDistanceSlots];
}

// A heavenly hand on the game just counted.
inline BlockFind MadeUpFind(const BlockResult& result, std::uint32_t game, HandForm form, const CompactHand& hand) {
  BlockFind find;
  find.gameInBlock = game;
  find.form = form;
  find.hand = hand;
  find.through = result.distances;
  return find;
}

inline BatchSetup Playing(BlockPlay play, const SequenceState& resumeFrom = {}) {
  BatchSetup setup;
  setup.play = play;
  setup.resumeFrom = resumeFrom;
  return setup;
}

}  // namespace kestrum::test
