#pragma once
// What one block of a batch gives: small plain records that can be merged in
// sequence order, written to a checkpoint and sent between processes.
//
// A seed defines one endless sequence of games cut into blocks of
// kBlockGames. Block b has its own generator, derived from (seed, b), and its
// own wall, filled and shuffled once; its games are then played one after
// another. Game g of block b has the sequence index b * kBlockGames + g,
// whoever plays it and in whatever order the blocks are finished.

#include <array>
#include <cstdint>
#include <vector>

#include "engine/CompleteHand.h"
#include "engine/Tiles.h"

namespace kestrum {

// Some 10 to 30 ms of play: short enough that a heavenly-hand limit wastes
// little work past its last find, that a checkpoint loses little and that a
// test can span several blocks; long enough that filling a wall, shuffling
// it once and handing the block over cost a tenth of a percent. Changing it
// changes every seeded batch.
inline constexpr std::uint32_t kBlockGames = 1024;

// A sorted hand, one byte per tile code.
using CompactHand = std::array<std::uint8_t, kHandSize>;

CompactHand Compact(const Hand& hand);
Hand Expand(const CompactHand& hand);

// A game's distance from complete (the least over the three forms) is -1
// to 6 for thirteen and for fourteen tiles: slot distance + 1.
inline constexpr int kDistanceSlots = 8;

// A block's games by distance: the dealer's fourteen tiles, and the first
// thirteen tiles of the wall as dealt (a uniform deal of a non-dealer's
// thirteen; not the sorted hand less its last tile).
struct GameDistances {
  std::array<std::uint32_t, kDistanceSlots> dealer{};
  std::array<std::uint32_t, kDistanceSlots> firstThirteen{};

  bool operator==(const GameDistances&) const = default;
};

// One heavenly hand inside its block.
struct BlockFind {
  std::uint32_t gameInBlock = 0;  // 0-based
  HandForm form = HandForm::kNone;
  CompactHand hand{};
  // The block's distances through this game, so that a batch that ends at
  // this heavenly hand counts exactly the games up to it.
  GameDistances through;
};

struct BlockResult {
  std::uint64_t block = 0;
  std::uint32_t games = 0;       // games played, from the block's first on
  std::vector<BlockFind> finds;  // in game order
  GameDistances distances;       // of the games played
};

// The sequence index of a game: its place in the seed's sequence.
constexpr std::uint64_t SequenceIndex(std::uint64_t block, std::uint32_t gameInBlock) {
  return block * kBlockGames + gameInBlock;
}

}  // namespace kestrum
