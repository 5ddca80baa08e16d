#pragma once
// Puts the blocks of a batch together in sequence order, whatever order they
// are finished in, and applies the limits the way the sequence defines them:
// a games limit of N counts the sequence's first N games, a heavenly-hand
// limit of K counts the games up to and including the K-th heavenly hand of
// the sequence and not one more.

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <vector>

#include "batch/BatchResult.h"

namespace kestrum {

// The games block b holds under the limits: kBlockGames, fewer for the last
// block of a games limit, 0 past it.
std::uint32_t GamesInBlock(const BatchLimits& limits, std::uint64_t block);

// What a checkpoint keeps of a sequence: the blocks counted so far without
// a gap, the heavenly hands among them (only their place, form and hand
// matter; the rest follows), and the whole blocks finished past the gap.
struct SequenceState {
  std::uint64_t countedBlocks = 0;
  std::vector<TenhouFind> finds;
  DistanceTally distances;  // of the games counted
  std::vector<BlockResult> waiting;
};

class BatchSequence {
 public:
  static constexpr std::uint64_t kNoBlock = std::numeric_limits<std::uint64_t>::max();

  // Told of every heavenly hand as it is counted, with the tally just after it.
  using FindListener = std::function<void(const TenhouFind&, const BatchTally&)>;

  explicit BatchSequence(const BatchLimits& limits);

  void SetFindListener(FindListener listener) { listener_ = std::move(listener); }

  // Takes a block's result, in any order; the blocks that now follow the
  // counted ones without a gap are counted at once. A block that is already
  // counted or waiting, or that lies past the last one needed, is ignored.
  void Add(BlockResult result);

  // The last block that can still matter: under a games limit the one that
  // holds the last game; under a heavenly-hand limit, as soon as the blocks
  // finished so far hold enough heavenly hands, the one that holds the K-th
  // (the blocks of the gaps before it can only move it earlier).
  std::uint64_t LastNeededBlock() const { return lastNeeded_; }

  // Every game the limits ask for is counted, in sequence without a gap. A
  // limit reached only by counting across gaps after a halt does not make
  // it so: that count skips the games of the blocks in the gaps.
  bool Complete() const { return complete_ && !countedAcrossGaps_; }

  // Carries on from a saved state, as if its blocks had been added; no
  // listener is told of the heavenly hands counted before.
  void Resume(const SequenceState& state);
  // The state to save: blocks cut short by a halt are left out, so that
  // they are played again in full.
  SequenceState State() const;

  // After a halt: counts the blocks still waiting, in block order, across
  // the gaps that blocks cut short or never started left. The sequence is
  // never Complete() after it has counted a block this way; take State()
  // before.
  void CountAcrossGaps();

  const BatchTally& Tally() const { return tally_; }
  const std::vector<TenhouFind>& Finds() const { return finds_; }
  // Blocks 0..CountedBlocks()-1 are counted without a gap.
  std::uint64_t CountedBlocks() const { return nextBlock_; }
  // Blocks counted across gaps that the halt cut short.
  std::uint64_t CutShortBlocks() const { return cutShortBlocks_; }
  // Finished blocks that wait for an earlier one.
  const std::map<std::uint64_t, BlockResult>& Waiting() const { return waiting_; }

 private:
  void CountBlock(const BlockResult& result);
  void CountFind(const BlockResult& result, const BlockFind& find);
  void CountWaitingInOrder();
  void UpdateLastNeeded();
  void SkipEmptyBlocksTo(std::uint64_t block);

  BatchLimits limits_;
  std::uint64_t nextBlock_ = 0;
  std::uint64_t lastNeeded_ = kNoBlock;
  // Stops the counting at a limit; Complete() only when no gap was crossed.
  bool complete_ = false;
  bool countedAcrossGaps_ = false;
  std::uint64_t cutShortBlocks_ = 0;
  Count64 gamesAtLastFind_ = 0;
  BatchTally tally_;
  std::vector<TenhouFind> finds_;
  std::map<std::uint64_t, BlockResult> waiting_;
  FindListener listener_;
};

}  // namespace kestrum
