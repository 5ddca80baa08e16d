#include "batch/BatchSequence.h"

#include <algorithm>
#include <utility>

namespace kestrum {

BatchSequence::BatchSequence(const BatchLimits& limits) : limits_(limits) {
  if (limits_.games > 0) lastNeeded_ = static_cast<std::uint64_t>(limits_.games - 1) / kBlockGames;
}

std::uint32_t GamesInBlock(const BatchLimits& limits, std::uint64_t block) {
  if (limits.games <= 0) return kBlockGames;
  const auto games = static_cast<std::uint64_t>(limits.games);
  const std::uint64_t lastBlock = (games - 1) / kBlockGames;
  if (block > lastBlock) return 0;
  if (block < lastBlock) return kBlockGames;
  return static_cast<std::uint32_t>(games - lastBlock * kBlockGames);
}

void BatchSequence::Add(BlockResult result) {
  const std::uint64_t block = result.block;
  if (complete_ || block < nextBlock_ || block > lastNeeded_ || waiting_.contains(block)) return;
  if (result.games > GamesInBlock(limits_, block)) return;
  waiting_.emplace(block, std::move(result));
  CountWaitingInOrder();
  UpdateLastNeeded();
}

// A block cut short waits: counting it here would join the games after it
// to a sequence with a hole in it.
void BatchSequence::CountWaitingInOrder() {
  while (!complete_ && !waiting_.empty() && waiting_.begin()->first == nextBlock_ &&
         waiting_.begin()->second.games == GamesInBlock(limits_, nextBlock_)) {
    const auto node = waiting_.extract(waiting_.begin());
    CountBlock(node.mapped());
    ++nextBlock_;
    if (nextBlock_ > lastNeeded_) complete_ = true;
  }
}

void BatchSequence::SkipEmptyBlocksTo(std::uint64_t block) {
  if (block <= nextBlock_) return;
  if (limits_.games > 0) {
    const auto last = static_cast<std::uint64_t>(limits_.games - 1) / kBlockGames;
    const auto end = std::min(block, last + 1);
    tally_.games += static_cast<Count64>(std::min(end * kBlockGames, static_cast<std::uint64_t>(limits_.games)) -
                                         std::min(nextBlock_ * kBlockGames, static_cast<std::uint64_t>(limits_.games)));
  } else {
    tally_.games += static_cast<Count64>((block - nextBlock_) * kBlockGames);
  }
  nextBlock_ = block;
  if (nextBlock_ > lastNeeded_) complete_ = true;
}

void BatchSequence::Resume(const SequenceState& state) {
  for (std::size_t i = 0; i < state.finds.size() && !complete_;) {
    BlockResult result;
    result.block = state.finds[i].block;
    result.games = GamesInBlock(limits_, result.block);
    for (; i < state.finds.size() && state.finds[i].block == result.block; ++i) {
      BlockFind find;
      find.gameInBlock = state.finds[i].gameInBlock;
      find.form = state.finds[i].form;
      find.hand = state.finds[i].hand;
      result.finds.push_back(find);
    }
    if (result.block < nextBlock_) continue;
    SkipEmptyBlocksTo(result.block);
    if (complete_) break;
    CountBlock(result);
    if (complete_) break;
    nextBlock_ = result.block + 1;
    if (nextBlock_ > lastNeeded_) complete_ = true;
  }
  if (!complete_) SkipEmptyBlocksTo(state.countedBlocks);
  // The heavenly hands above carry no distances; the state has them all.
  tally_.distances = state.distances;
  for (const BlockResult& result : state.waiting) Add(result);
}

SequenceState BatchSequence::State() const {
  SequenceState state;
  state.countedBlocks = nextBlock_;
  state.finds = finds_;
  state.distances = tally_.distances;
  for (const auto& [block, result] : waiting_)
    if (result.games == GamesInBlock(limits_, block)) state.waiting.push_back(result);
  return state;
}

void BatchSequence::CountAcrossGaps() {
  while (!complete_ && !waiting_.empty()) {
    const auto node = waiting_.extract(waiting_.begin());
    // Each block still waiting here is cut short or lies past a gap.
    countedAcrossGaps_ = true;
    if (node.mapped().games < GamesInBlock(limits_, node.key())) ++cutShortBlocks_;
    CountBlock(node.mapped());
    nextBlock_ = node.key() + 1;
  }
  waiting_.clear();
}

void BatchSequence::CountBlock(const BlockResult& result) {
  const Count64 before = tally_.games;
  for (const BlockFind& find : result.finds) {
    if (find.gameInBlock >= result.games) break;
    tally_.games = before + find.gameInBlock + 1;
    CountFind(result, find);
    if (limits_.tenhou > 0 && tally_.tenhou >= limits_.tenhou) {
      complete_ = true;
      lastNeeded_ = result.block;
      tally_.distances.Add(find.through);
      return;
    }
  }
  tally_.games = before + result.games;
  tally_.distances.Add(result.distances);
}

void BatchSequence::CountFind(const BlockResult& result, const BlockFind& find) {
  TenhouFind counted;
  counted.block = result.block;
  counted.gameInBlock = find.gameInBlock;
  counted.sequenceIndex = SequenceIndex(result.block, find.gameInBlock);
  counted.gamesSoFar = tally_.games;
  counted.runLength = tally_.games - gamesAtLastFind_;
  counted.form = find.form;
  counted.hand = find.hand;
  gamesAtLastFind_ = tally_.games;

  ++tally_.tenhou;
  switch (find.form) {
    case HandForm::kThirteenOrphans: ++tally_.thirteenOrphans; break;
    case HandForm::kSevenPairs: ++tally_.sevenPairs; break;
    case HandForm::kStandard: ++tally_.standard; break;
    case HandForm::kNone: break;
  }
  if (tally_.shortestRun == 0 || counted.runLength < tally_.shortestRun) tally_.shortestRun = counted.runLength;
  tally_.longestRun = std::max(tally_.longestRun, counted.runLength);
  finds_.push_back(counted);
  if (listener_) listener_(counted, tally_);
}

void BatchSequence::UpdateLastNeeded() {
  if (complete_ || limits_.tenhou <= 0) return;
  Count64 finds = tally_.tenhou;
  for (const auto& [block, result] : waiting_) {
    finds += static_cast<Count64>(result.finds.size());
    if (finds >= limits_.tenhou) {
      lastNeeded_ = std::min(lastNeeded_, block);
      return;
    }
  }
}

}  // namespace kestrum
