// The rules that make a batch the same on any number of threads: blocks
// finished in any order are counted in sequence order, a heavenly-hand limit
// of K ends exactly at the K-th heavenly hand of the sequence, a games limit
// at its N-th game. Block results are made up here, so every order and every
// limit can be tried.

#include "batch/BatchSequence.h"

#include "BatchTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace kestrum {
namespace {

constexpr std::uint64_t kBlocks = 10;
constexpr Count64 kGamesLimit = kBlocks * kBlockGames - 100;  // the last block is 100 games short

// Heavenly hands at (block, game): two in block 1, one on the last game of
// block 6, one on the first of block 7, one in the short last block.
const std::vector<std::pair<std::uint64_t, std::uint32_t>> kFinds = {
    {1, 5}, {1, 100}, {4, 0}, {6, kBlockGames - 1}, {7, 0}, {9, kBlockGames - 101}};

BlockResult Block(std::uint64_t block, std::uint32_t games = kBlockGames) {
  BlockResult result;
  result.block = block;
  for (std::uint32_t game = 0; game < games; ++game) {
    test::CountMadeUpGame(result, block, game);
    for (const auto& [b, at] : kFinds)
      if (b == block && at == game) result.finds.push_back(test::MadeUpFind(result, game, HandForm::kStandard, {}));
  }
  result.games = games;
  if (block == 4) result.finds.back().form = HandForm::kSevenPairs;
  return result;
}

std::vector<std::uint64_t> Orders(int which) {
  std::vector<std::uint64_t> order(kBlocks);
  std::iota(order.begin(), order.end(), 0);
  if (which == 1) std::reverse(order.begin(), order.end());
  if (which >= 2) std::shuffle(order.begin(), order.end(), std::mt19937(static_cast<unsigned>(which)));
  return order;
}

struct Counted {
  std::vector<TenhouFind> finds;
  BatchTally tally;
  bool complete = false;
};

Counted CountInOrder(const BatchLimits& limits, const std::vector<std::uint64_t>& order) {
  BatchSequence sequence(limits);
  std::vector<TenhouFind> told;
  sequence.SetFindListener([&](const TenhouFind& find, const BatchTally& tally) {
    EXPECT_EQ(tally.tenhou, static_cast<Count64>(told.size()) + 1);
    told.push_back(find);
  });
  for (std::uint64_t block : order) sequence.Add(Block(block, GamesInBlock(limits, block)));
  EXPECT_EQ(told.size(), sequence.Finds().size());
  return {sequence.Finds(), sequence.Tally(), sequence.Complete()};
}

TEST(BatchSequence, AnyOrderOfBlocksGivesTheSameSequence) {
  BatchLimits limits;
  limits.games = kGamesLimit;
  const Counted inOrder = CountInOrder(limits, Orders(0));
  ASSERT_TRUE(inOrder.complete);
  EXPECT_EQ(inOrder.tally.games, kGamesLimit);
  ASSERT_EQ(inOrder.finds.size(), kFinds.size());
  EXPECT_EQ(inOrder.tally.sevenPairs, 1);
  EXPECT_EQ(inOrder.tally.standard, 5);
  // Runs span blocks: the first from the batch's start, then the gaps.
  const std::vector<Count64> runs = {kBlockGames + 6,     95, 3 * kBlockGames - 100,
                                     3 * kBlockGames - 1, 1,  3 * kBlockGames - 101};
  for (std::size_t i = 0; i < runs.size(); ++i) {
    EXPECT_EQ(inOrder.finds[i].runLength, runs[i]) << i;
    EXPECT_EQ(inOrder.finds[i].sequenceIndex, kFinds[i].first * kBlockGames + kFinds[i].second) << i;
    EXPECT_EQ(inOrder.finds[i].gamesSoFar, static_cast<Count64>(inOrder.finds[i].sequenceIndex) + 1) << i;
  }
  EXPECT_EQ(inOrder.tally.shortestRun, 1);
  EXPECT_EQ(inOrder.tally.longestRun, 3 * kBlockGames - 1);

  for (int which = 1; which < 8; ++which) {
    const Counted other = CountInOrder(limits, Orders(which));
    ASSERT_TRUE(other.complete) << which;
    EXPECT_EQ(other.tally.games, inOrder.tally.games) << which;
    ASSERT_EQ(other.finds.size(), inOrder.finds.size()) << which;
    for (std::size_t i = 0; i < other.finds.size(); ++i) {
      EXPECT_EQ(other.finds[i].sequenceIndex, inOrder.finds[i].sequenceIndex) << which;
      EXPECT_EQ(other.finds[i].runLength, inOrder.finds[i].runLength) << which;
    }
  }
}

TEST(BatchSequence, HeavenlyHandLimitCountsUpToTheKthAndNotOneGameMore) {
  for (Count64 k = 1; k <= static_cast<Count64>(kFinds.size()); ++k) {
    BatchLimits limits;
    limits.tenhou = k;
    const auto& [block, game] = kFinds[static_cast<std::size_t>(k - 1)];
    for (int which = 0; which < 6; ++which) {
      const Counted counted = CountInOrder(limits, Orders(which));
      ASSERT_TRUE(counted.complete) << "K " << k << " order " << which;
      ASSERT_EQ(counted.finds.size(), static_cast<std::size_t>(k));
      EXPECT_EQ(counted.tally.games, static_cast<Count64>(block * kBlockGames + game + 1)) << "K " << k;
      EXPECT_EQ(counted.finds.back().gamesSoFar, counted.tally.games);
    }
  }
}

TEST(BatchSequence, LastNeededBlockFallsOnceFinishedBlocksHoldEnoughHeavenlyHands) {
  BatchLimits limits;
  limits.tenhou = 2;
  BatchSequence sequence(limits);
  EXPECT_EQ(sequence.LastNeededBlock(), BatchSequence::kNoBlock);
  sequence.Add(Block(4));
  EXPECT_EQ(sequence.LastNeededBlock(), BatchSequence::kNoBlock);  // one is not enough
  sequence.Add(Block(7));
  EXPECT_EQ(sequence.LastNeededBlock(), 7u);  // blocks 0..6 could only move it earlier
  sequence.Add(Block(1));
  EXPECT_EQ(sequence.LastNeededBlock(), 1u);
  EXPECT_FALSE(sequence.Complete());  // block 0 is still out
  sequence.Add(Block(9));             // past the last needed: ignored
  EXPECT_TRUE(sequence.Waiting().find(9) == sequence.Waiting().end());
  sequence.Add(Block(0));
  EXPECT_TRUE(sequence.Complete());
  EXPECT_EQ(sequence.Tally().games, kBlockGames + 101);
}

TEST(BatchSequence, GamesLimitEndsInsideItsLastBlock) {
  for (const Count64 games : {Count64{1}, Count64{kBlockGames}, Count64{kBlockGames} + 1, kGamesLimit}) {
    BatchLimits limits;
    limits.games = games;
    const std::uint64_t last = static_cast<std::uint64_t>(games - 1) / kBlockGames;
    Count64 total = 0;
    for (std::uint64_t block = 0; block <= last + 1; ++block) total += GamesInBlock(limits, block);
    EXPECT_EQ(total, games) << games;
    EXPECT_EQ(GamesInBlock(limits, last + 1), 0u);
  }
  EXPECT_EQ(GamesInBlock(BatchLimits{}, 123456789), kBlockGames);
}

TEST(BatchSequence, BlockCutShortWaitsUntilTheGapsAreCountedAcross) {
  BatchSequence sequence(BatchLimits{});
  sequence.Add(Block(0));
  sequence.Add(Block(1, 50));  // halted after 50 games: holds its find at game 5 only
  sequence.Add(Block(3));
  sequence.Add(Block(0));  // twice: ignored
  EXPECT_EQ(sequence.CountedBlocks(), 1u);
  EXPECT_EQ(sequence.Tally().games, kBlockGames);
  sequence.CountAcrossGaps();
  EXPECT_EQ(sequence.Tally().games, 2 * kBlockGames + 50);
  ASSERT_EQ(sequence.Finds().size(), 1u);
  EXPECT_EQ(sequence.Finds()[0].gamesSoFar, kBlockGames + 6);
  EXPECT_FALSE(sequence.Complete());
}

// A halt that cuts a block short before its first game, while later blocks
// finish whole: counted across the gap they reach the heavenly-hand limit,
// but that count has a hole in it and must not pass for the finished batch.
// The checkpoint saved before it carries on to the uninterrupted result.
TEST(BatchSequence, LimitReachedAcrossAGapIsNotCompleteAndItsCheckpointCarriesOn) {
  BatchLimits limits;
  limits.tenhou = 3;
  const Counted whole = CountInOrder(limits, Orders(0));
  ASSERT_TRUE(whole.complete);

  BatchSequence halted(limits);
  halted.Add(Block(0));
  halted.Add(Block(1, 0));  // the halt came before its first game
  for (const std::uint64_t block : {2, 3, 4, 6, 7}) halted.Add(Block(block));
  EXPECT_EQ(halted.LastNeededBlock(), 7u);
  EXPECT_FALSE(halted.Complete());
  const SequenceState saved = halted.State();
  EXPECT_EQ(saved.countedBlocks, 1u);
  EXPECT_EQ(saved.waiting.size(), 5u);  // block 1 is left out, to be played again in full

  halted.CountAcrossGaps();
  EXPECT_EQ(halted.Tally().tenhou, 3);
  EXPECT_FALSE(halted.Complete()) << "blocks 1 and 5 were never counted";

  BatchSequence resumed(limits);
  resumed.Resume(saved);
  EXPECT_FALSE(resumed.Complete());
  resumed.Add(Block(5));
  EXPECT_FALSE(resumed.Complete());
  resumed.Add(Block(1));
  ASSERT_TRUE(resumed.Complete());
  EXPECT_EQ(resumed.Tally().games, whole.tally.games);
  ASSERT_EQ(resumed.Finds().size(), whole.finds.size());
  for (std::size_t i = 0; i < whole.finds.size(); ++i) {
    EXPECT_EQ(resumed.Finds()[i].sequenceIndex, whole.finds[i].sequenceIndex) << i;
    EXPECT_EQ(resumed.Finds()[i].gamesSoFar, whole.finds[i].gamesSoFar) << i;
    EXPECT_EQ(resumed.Finds()[i].runLength, whole.finds[i].runLength) << i;
  }
}

}  // namespace
}  // namespace kestrum
