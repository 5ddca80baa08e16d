// Reading the hands `kestrum-sim check` is given: a line of tile names, the
// same hand in the compact notation, and the complete-hand test that follows
// each, so that the ratios say what reading costs beside judging.

#include "bench/RatioReport.h"
#include "cli/HandLine.h"
#include "engine/CompleteHand.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace kestrum {
namespace {

constexpr const char* kHonours[] = {"東", "南", "西", "北", "白", "発", "中"};

std::vector<Hand> RandomHands(std::size_t count) {
  std::mt19937 engine(20261208);
  Wall wall;
  FillWall(wall);
  std::vector<Hand> hands(count);
  for (Hand& hand : hands) {
    std::shuffle(wall.begin(), wall.end(), engine);
    std::copy_n(wall.begin(), kHandSize, hand.begin());
    std::sort(hand.begin(), hand.end());
  }
  return hands;
}

// "1m 1m 4m ... 東 中", as a person types it.
std::string NameLine(const Hand& hand) {
  std::string line;
  for (TileCode code : hand) {
    if (!line.empty()) line += ' ';
    line += code >= 28 ? std::string(kHonours[code - 28]) : std::string{char('1' + TileColumn(code)), "mps"[TileRow(code)]};
  }
  return line;
}

// "114m2569p37s17z", as the online games write it.
std::string CompactLine(const Hand& hand) {
  std::string line;
  for (int row = 0; row < 4; ++row) {
    std::string digits;
    for (TileCode code : hand)
      if (TileRow(code) == row) digits += char('1' + TileColumn(code));
    if (!digits.empty()) line += digits + "mpsz"[row];
  }
  return line;
}

const std::vector<Hand>& Hands() {
  static const std::vector<Hand> hands = RandomHands(4096);
  return hands;
}

std::vector<std::string> Lines(std::string (*write)(const Hand&)) {
  std::vector<std::string> lines;
  for (const Hand& hand : Hands()) lines.push_back(write(hand));
  return lines;
}

void RunParse(benchmark::State& state, const std::vector<std::string>& lines) {
  std::size_t next = 0;
  std::size_t read = 0;
  for (auto _ : state) {
    read += ParseHandLine(lines[next]).ok;
    next = next + 1 == lines.size() ? 0 : next + 1;
  }
  benchmark::DoNotOptimize(read);
  state.SetItemsProcessed(state.iterations());
}

void BM_ParseHandLine_Names(benchmark::State& state) {
  static const std::vector<std::string> lines = Lines(NameLine);
  RunParse(state, lines);
}

void BM_ParseHandLine_Compact(benchmark::State& state) {
  static const std::vector<std::string> lines = Lines(CompactLine);
  RunParse(state, lines);
}

void BM_JudgeParsedHand(benchmark::State& state) {
  std::size_t next = 0;
  Count64 complete = 0;
  for (auto _ : state) {
    bool pairTaken = false;
    complete += IsCompleteHand(Hands()[next], pairTaken);
    next = next + 1 == Hands().size() ? 0 : next + 1;
  }
  benchmark::DoNotOptimize(complete);
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_ParseHandLine_Names);
BENCHMARK(BM_ParseHandLine_Compact);
BENCHMARK(BM_JudgeParsedHand);

}  // namespace
}  // namespace kestrum

int main(int argc, char** argv) {
  using kestrum::bench::Ratio;
  return kestrum::bench::RunWithRatios(
      argc, argv,
      {
          Ratio{"compact line / name line (time to read)", "BM_ParseHandLine_Compact", "BM_ParseHandLine_Names",
                Ratio::kCost, Ratio::kAtMost, 1.2},
          Ratio{"read a name line / judge its hand (time)", "BM_ParseHandLine_Names", "BM_JudgeParsedHand",
                Ratio::kCost, Ratio::kAtMost, 10.0},
      });
}
