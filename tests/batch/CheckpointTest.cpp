// Checkpoints: a batch stopped at any point and carried on from its
// checkpoint ends exactly as the uninterrupted batch; a checkpoint that is
// damaged, cut short or made by another batch is refused with the reason.

#include "batch/Checkpoint.h"

#include <gtest/gtest.h>

#include "BatchTestSupport.h"

#include <chrono>
#include <random>
#include <fstream>
#include <thread>

#include "batch/BatchRunner.h"
#include "batch/BlockCodec.h"

namespace kestrum {
namespace {

using test::kNeverStop;
using test::Playing;

// Blocks from this one on are held back until the batch halts, so that a
// batch can be made to stop before its end however busy the machine is.
std::atomic<std::uint64_t> heldFromBlock{BatchSequence::kNoBlock};

// Heavenly hands every few dozen games, so that a checkpoint holds many,
// and blocks slow enough that a batch can be stopped halfway.
BlockResult FrequentFinds(std::uint64_t seed, std::uint64_t block, std::uint32_t games, const BlockCancel& cancel,
                          std::atomic<std::uint64_t>* progress) {
  std::this_thread::sleep_for(std::chrono::milliseconds(4));
  if (block >= heldFromBlock.load())
    while (!cancel.Cancelled(block)) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  BlockResult result;
  result.block = block;
  for (; result.games < games && !cancel.Cancelled(block); ++result.games) {
    test::CountMadeUpGame(result, block, result.games);
    if ((seed * 31 + block * 1009 + result.games * 7) % 61 == 0)
      result.finds.push_back(test::MadeUpFind(result, result.games, HandForm::kSevenPairs,
                                              {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7}));
    if (progress != nullptr) progress->fetch_add(1);
  }
  return result;
}

BatchOptions Options(int threads, Count64 games, Count64 tenhou) {
  BatchOptions options;
  options.threads = threads;
  options.limits.games = games;
  options.limits.tenhou = tenhou;
  options.seed = 77;
  return options;
}

// Runs until `stopAfter` progress reports, then stops as Ctrl-C would, and
// carries on from the state saved at the end, as often as it takes. The
// first piece cannot end the batch however slowly it is counted: its blocks
// from kHeldFrom on wait for the stop, which comes only once it has counted
// a heavenly hand, so that the last piece always carries on from something.
BatchResult RunInPieces(const BatchOptions& options, int stopAfter, int& pieces) {
  constexpr std::uint64_t kHeldFrom = 8;
  SequenceState saved;
  for (pieces = 1;; ++pieces) {
    heldFromBlock.store(pieces == 1 ? kHeldFrom : BatchSequence::kNoBlock);
    std::atomic<bool> stop{false};
    int reports = 0;
    BatchObserver observer;
    observer.progress = [&](const BatchProgress& progress) {
      ++reports;
      if (reports == stopAfter && pieces > 1) stop.store(true);
      if (reports >= stopAfter && pieces == 1 && progress.tenhou > 0) stop.store(true);
    };
    observer.save = [&](const SequenceState& state) {
      // Through the bytes of a file, as a person's next run reads them.
      const CheckpointRead read = DecodeCheckpoint(EncodeCheckpoint(options, state), options);
      ASSERT_TRUE(read.state.has_value()) << read.problem;
      saved = *read.state;
    };
    const BatchResult result = RunBatch(options, stop, observer, Playing(FrequentFinds, saved));
    heldFromBlock.store(BatchSequence::kNoBlock);
    if (result.Reproducible()) return result;
  }
}

void ExpectSameBatch(const BatchResult& resumed, const BatchResult& whole) {
  EXPECT_EQ(resumed.tally.games, whole.tally.games);
  EXPECT_EQ(resumed.tally.tenhou, whole.tally.tenhou);
  EXPECT_EQ(resumed.tally.shortestRun, whole.tally.shortestRun);
  EXPECT_EQ(resumed.tally.longestRun, whole.tally.longestRun);
  EXPECT_EQ(resumed.tally.distances, whole.tally.distances);
  ASSERT_EQ(resumed.finds.size(), whole.finds.size());
  for (std::size_t i = 0; i < whole.finds.size(); ++i) {
    EXPECT_EQ(resumed.finds[i].sequenceIndex, whole.finds[i].sequenceIndex) << i;
    EXPECT_EQ(resumed.finds[i].runLength, whole.finds[i].runLength) << i;
    EXPECT_EQ(resumed.finds[i].gamesSoFar, whole.finds[i].gamesSoFar) << i;
  }
}

TEST(Checkpoint, BatchCarriedOnInPiecesEndsAsTheUninterruptedOne) {
  for (const BatchOptions& options : {Options(3, 60 * kBlockGames + 77, 0), Options(2, 0, 500)}) {
    const BatchResult whole = RunBatch(options, kNeverStop, {}, Playing(FrequentFinds));
    for (const int stopAfter : {1, 3}) {
      int pieces = 0;
      const BatchResult resumed = RunInPieces(options, stopAfter, pieces);
      ExpectSameBatch(resumed, whole);
      EXPECT_GT(pieces, 1);
      EXPECT_GT(resumed.resumedGames, 0) << "the last piece carried on from a checkpoint";
    }
  }
}

TEST(Checkpoint, FinishedBlocksPastAGapAreKeptAndNotPlayedAgain) {
  BatchSequence sequence(BatchLimits{});
  sequence.Add(FrequentFinds(77, 0, kBlockGames, {}, nullptr));
  sequence.Add(FrequentFinds(77, 2, kBlockGames, {}, nullptr));
  sequence.Add(FrequentFinds(77, 3, 10, {}, nullptr));  // cut short: played again
  const BatchOptions options = Options(1, 0, 0);
  const CheckpointRead read = DecodeCheckpoint(EncodeCheckpoint(options, sequence.State()), options);
  ASSERT_TRUE(read.state.has_value()) << read.problem;
  EXPECT_EQ(read.state->countedBlocks, 1u);
  ASSERT_EQ(read.state->waiting.size(), 1u);
  EXPECT_EQ(read.state->waiting[0].block, 2u);
  EXPECT_EQ(read.state->finds.size(), sequence.Finds().size());
}

// The entries a save is about to append to the log, as it keeps them.
LogJournal SomeJournal() { return {"/var/log/tenholog.txt", 4321, {"first entry\r\n", "", "second\r\n\r\n"}}; }

class CheckpointBytes : public ::testing::Test {
 protected:
  void SetUp() override {
    const BatchOptions options = Options(2, 0, 40);
    BatchObserver observer;
    observer.save = [&](const SequenceState& state) { bytes_ = EncodeCheckpoint(options, state, SomeJournal()); };
    RunBatch(options, kNeverStop, observer, Playing(FrequentFinds));
    ASSERT_FALSE(bytes_.empty());
    ASSERT_TRUE(DecodeCheckpoint(bytes_, options).state.has_value());
  }
  std::string bytes_;
};

TEST_F(CheckpointBytes, EveryCutAndEveryDamagedByteIsRefused) {
  const BatchOptions options = Options(2, 0, 40);
  for (std::size_t size = 0; size < bytes_.size(); ++size) {
    const CheckpointRead read = DecodeCheckpoint(std::string_view(bytes_).substr(0, size), options);
    EXPECT_FALSE(read.state.has_value()) << "cut at " << size;
    EXPECT_FALSE(read.problem.empty());
  }
  for (std::size_t at = 0; at < bytes_.size(); ++at) {
    std::string damaged = bytes_;
    damaged[at] = static_cast<char>(damaged[at] ^ 0x10);
    EXPECT_FALSE(DecodeCheckpoint(damaged, options).state.has_value()) << "byte " << at;
  }
  EXPECT_FALSE(DecodeCheckpoint(bytes_ + "x", options).state.has_value());
}

TEST_F(CheckpointBytes, TheLogJournalReadsBack) {
  const BatchOptions options = Options(2, 0, 40);
  const CheckpointRead read = DecodeCheckpoint(bytes_, options);
  ASSERT_TRUE(read.state.has_value()) << read.problem;
  EXPECT_EQ(read.journal.file, SomeJournal().file);
  EXPECT_EQ(read.journal.sizeBefore, 4321u);
  EXPECT_EQ(read.journal.entries, SomeJournal().entries);
}

// A block's histograms must count its games, and each heavenly hand's the
// games through it; a result that breaks either is refused whole.
TEST(BlockCodec, DistancesThatDoNotCountTheGamesAreRefused) {
  const BlockResult good = FrequentFinds(77, 4, kBlockGames, {}, nullptr);
  ASSERT_FALSE(good.finds.empty());
  const auto roundTrip = [](const BlockResult& result) {
    ByteWriter out;
    WriteBlockResult(out, result);
    ByteReader in(out.Data());
    return ReadBlockResult(in);
  };
  const auto read = roundTrip(good);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->distances, good.distances);
  EXPECT_EQ(read->finds.back().through, good.finds.back().through);

  BlockResult moved = good;  // one game moved to another bin: the sums still hold
  --moved.distances.dealer[3];
  ++moved.distances.dealer[4];
  EXPECT_TRUE(roundTrip(moved).has_value());
  BlockResult extra = good;
  ++extra.distances.firstThirteen[2];
  EXPECT_FALSE(roundTrip(extra).has_value());
  BlockResult lateFind = good;
  ++lateFind.finds.front().through.dealer[1];  // one game too many through it
  EXPECT_FALSE(roundTrip(lateFind).has_value());
  BlockResult aboveTotal = good;
  aboveTotal.finds.back().through = good.distances;
  aboveTotal.finds.back().through.dealer[0] += good.distances.dealer[1] + 1;
  EXPECT_FALSE(roundTrip(aboveTotal).has_value());
}

TEST_F(CheckpointBytes, OtherSeedLimitOrVersionIsRefusedByName) {
  BatchOptions other = Options(2, 0, 40);
  other.seed = 78;
  EXPECT_EQ(DecodeCheckpoint(bytes_, other).problem, "it was made with --seed 77, not 78");
  other = Options(2, 0, 41);
  EXPECT_EQ(DecodeCheckpoint(bytes_, other).problem, "it was made with --tenhou 40, not 41");
  other = Options(2, 1000, 40);
  EXPECT_EQ(DecodeCheckpoint(bytes_, other).problem, "it was made with --games none, not 1000");
  // Another version, with its checksum made whole again so that only the
  // version differs.
  const BatchOptions options = Options(2, 0, 40);
  std::string older = bytes_.substr(0, bytes_.size() - 8);
  older.replace(older.find("1.11"), 4, "1.10");
  const std::uint64_t hash = CheckpointChecksum(older);
  for (int i = 0; i < 8; ++i) older += static_cast<char>(hash >> (8 * i));
  EXPECT_EQ(DecodeCheckpoint(older, options).problem, "it was made by version 1.10, this is 1.11");
  // One of the earlier generator's, whose layout is the same.
  std::string earlier = bytes_.substr(0, bytes_.size() - 8);
  earlier[std::string_view("KESTRUM-CHECKPOINT\n").size()] = 1;
  const std::uint64_t earlierHash = CheckpointChecksum(earlier);
  for (int i = 0; i < 8; ++i) earlier += static_cast<char>(earlierHash >> (8 * i));
  EXPECT_EQ(DecodeCheckpoint(earlier, options).problem,
            "it was made by an earlier build, whose games with this seed differ");
  // One from before the games' distances were counted.
  earlier = bytes_.substr(0, bytes_.size() - 8);
  earlier[std::string_view("KESTRUM-CHECKPOINT\n").size()] = 2;
  const std::uint64_t withoutDistancesHash = CheckpointChecksum(earlier);
  for (int i = 0; i < 8; ++i) earlier += static_cast<char>(withoutDistancesHash >> (8 * i));
  EXPECT_EQ(DecodeCheckpoint(earlier, options).problem,
            "it was made by an earlier build, which did not count the games' distances");
  EXPECT_EQ(DecodeCheckpoint("tenholog", options).problem, "it is not a Kestrum checkpoint");
}

TEST(CheckpointFile, IsReplacedAsAWholeAndLeavesNothingBeside) {
  const auto dir =
      std::filesystem::temp_directory_path() / ("kestrum-ckpt-" + std::to_string(std::random_device{}()));
  std::filesystem::create_directories(dir);
  const auto file = dir / "batch.ckpt";
  ASSERT_FALSE(SaveCheckpointFile(file, "first").has_value());
  ASSERT_FALSE(SaveCheckpointFile(file, "second, longer").has_value());
  const CheckpointFile loaded = LoadCheckpointFile(file);
  EXPECT_TRUE(loaded.exists);
  EXPECT_EQ(loaded.bytes, "second, longer");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), std::filesystem::directory_iterator()), 1);
  EXPECT_FALSE(LoadCheckpointFile(dir / "none").exists);
  EXPECT_TRUE(SaveCheckpointFile(dir / "no-such-dir" / "x", "bytes").has_value());
  // A folder in the way is refused by name, never read or replaced.
  std::filesystem::create_directory(dir / "folder");
  EXPECT_EQ(LoadCheckpointFile(dir / "folder").problem, "it is a directory");
  EXPECT_TRUE(SaveCheckpointFile(dir / "folder", "bytes").has_value());
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder"));
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace kestrum
