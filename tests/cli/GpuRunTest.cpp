// kestrum-sim run --device cuda on a real GPU against the processor: the
// same --json but for the times and the device, for several seeds and
// limits, the K-th heavenly hand for K = 1, 2 and 5, and a checkpoint that a
// GPU batch stopped between waves wrote, carried on by the processor.
// Without a GPU the program says why and ctest counts it as skipped.

#include <gtest/gtest.h>

#include <QJsonObject>

#include <cstdio>
#include <cstdlib>

#include "ProcessRun.h"
#include "RunTestSupport.h"
#include "batch/GpuBlockPlayers.h"

namespace kestrum::test {
namespace {

using GpuRun = FolderTest;

constexpr int kSkipped = 77;

QJsonObject Comparable(const std::string& out) {
  QJsonObject json = WithoutTimings(JsonOf(out));
  json.remove(QStringLiteral("device"));
  return json;
}

QJsonObject RunOn(const char* device, std::vector<std::string> args) {
  args.insert(args.begin(), {"run", "--device", device, "--json"});
  const ProcessResult result = RunSim(args);
  EXPECT_EQ(result.exitCode, 0) << device << ": " << result.err;
  EXPECT_EQ(JsonOf(result.out).value(QStringLiteral("device")).toString(), QString::fromLatin1(device));
  return Comparable(result.out);
}

TEST_F(GpuRun, SameJsonAsTheProcessorForSeveralSeedsAndLimits) {
  const std::vector<std::vector<std::string>> batches = {
      {"--games", "1", "--seed", "3"},       {"--games", "2500", "--seed", kEarlySeed},
      {"--games", "1000000", "--seed", "1"}, {"--games", "3000", "--seed", "18446744073709551615"},
      {"--tenhou", "1", "--seed", "1"},      {"--tenhou", "2", "--seed", "1"},
      {"--tenhou", "5", "--seed", "1"},      {"--tenhou", "2", "--seed", "7"}};
  for (const auto& batch : batches) {
    const QJsonObject cpu = RunOn("cpu", batch);
    EXPECT_EQ(RunOn("cuda", batch), cpu) << batch[0] << " " << batch[1] << " --seed " << batch[3];
  }
}

// Waves of 64 blocks, stopped after a moment: the checkpoint holds whole
// blocks only, and the processor carries it on to the uninterrupted result.
TEST_F(GpuRun, CheckpointOfAStoppedGpuBatchIsCarriedOnByTheProcessor) {
  const std::vector<std::string> batch = {"--games", "3000000", "--seed", "1", "--checkpoint", Path("gpu.ckpt")};
  setenv("KESTRUM_GPU_WAVE_BLOCKS", "64", 1);
  std::vector<std::string> stopped = {"run", "--device", "cuda", "--json", "--seconds", "0.3"};
  stopped.insert(stopped.end(), batch.begin(), batch.end());
  const ProcessResult first = RunSim(stopped);
  unsetenv("KESTRUM_GPU_WAVE_BLOCKS");
  ASSERT_EQ(first.exitCode, 0) << first.err;
  ASSERT_EQ(JsonOf(first.out).value(QStringLiteral("stop")).toString(), QStringLiteral("seconds")) << first.out;
  const QJsonObject whole = RunOn("cpu", {"--games", "3000000", "--seed", "1"});
  const QJsonObject resumed = RunOn("cpu", batch);
  EXPECT_EQ(resumed, whole);
}

}  // namespace
}  // namespace kestrum::test

int main(int argc, char** argv) {
  const kestrum::GpuCheck gpu = kestrum::CheckGpu();
  if (!gpu.usable) {
    std::printf("SKIPPED: no GPU to test on here (%s)\n", gpu.problem.c_str());
    return kestrum::test::kSkipped;
  }
  std::printf("Testing on %s\n", gpu.name.c_str());
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
