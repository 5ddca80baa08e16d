// The batch's blocks on a CUDA GPU: one GPU thread plays one block of 1024
// games from its generator to its heavenly hands, with the wall in shared
// memory. A wave is as many blocks as the GPU holds at once; WavePlayers
// queues the next behind the one playing, so the GPU never waits while the
// last wave's results are handed over.

#include "batch/GpuBlockPlayers.h"

#include <cuda_runtime.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <thread>
#include <vector>

#include "batch/BlockSupply.h"
#include "batch/DeviceBlock.h"
#include "batch/DeviceOutcome.h"
#include "batch/ResultQueue.h"
#include "batch/WavePlayers.h"

namespace kestrum {
namespace {

// Four warps to a CUDA block: small enough that the multiprocessors fill
// evenly whatever limit (registers or shared memory) binds.
constexpr int kDefaultThreadsPerBlock = 128;

// Shared memory holds the walls of every warp of the CUDA block, then their
// tallies.
// Held to 64 registers a thread (65536 / (256 * 4)), so that eight CUDA
// blocks of 128 fit a multiprocessor, as its shared memory allows; what the
// distance's sums need beyond that spills inside their call, once a game.
constexpr int kMostThreadsPerBlock = 256;
constexpr int kLeastBlocksPerSm = 4;

__global__ void __launch_bounds__(kMostThreadsPerBlock, kLeastBlocksPerSm) PlayWave(std::uint64_t seed, const DeviceTask* tasks, unsigned count, const DistanceTables* tables,
                         DeviceBlockOutcome* outcomes) {
  extern __shared__ std::uint8_t stripes[];
  const unsigned index = blockIdx.x * blockDim.x + threadIdx.x;
  if (index >= count) return;
  const unsigned warps = blockDim.x / kWarpThreads;
  const DevicePlace place{StripedWall(stripes, threadIdx.x),
                          StripedTally(stripes + warps * kStripedWarpBytes, threadIdx.x), tables};
  PlayDeviceBlock(seed, tasks[index], place, outcomes[index]);
}

std::size_t SharedBytes(int threadsPerBlock) {
  return static_cast<std::size_t>(threadsPerBlock / kWarpThreads) * (kStripedWarpBytes + kStripedTallyWarpBytes);
}

// A CUDA call that fails while the batch plays: the results in flight are
// lost, so the process ends rather than count less than it said it played.
void Must(cudaError_t error, const char* what) {
  if (error == cudaSuccess) return;
  std::fprintf(stderr, "kestrum-sim run: the GPU failed (%s: %s); the batch ends here\n", what,
               cudaGetErrorString(error));
  std::fflush(stderr);
  std::_Exit(1);
}

// The process's place among those a launcher started on this machine.
int LocalRank() {
  for (const char* name :
       {"OMPI_COMM_WORLD_LOCAL_RANK", "MPI_LOCALRANKID", "SLURM_LOCALID", "MV2_COMM_WORLD_LOCAL_RANK"})
    if (const char* value = std::getenv(name)) return std::max(0, std::atoi(value));
  return 0;
}

struct WaveShape {
  int threadsPerBlock = kDefaultThreadsPerBlock;
  unsigned gridBlocks = 0;
  unsigned most = 0;  // 0: the whole grid
  unsigned Blocks() const {
    const unsigned grid = gridBlocks * static_cast<unsigned>(threadsPerBlock);
    return most > 0 && most < grid ? most : grid;
  }
};

// KESTRUM_GPU_WAVE_BLOCKS caps a wave, so that the tests can stop a batch
// between waves on a GPU that plays a whole test batch in one.
unsigned WaveCap() {
  const char* value = std::getenv("KESTRUM_GPU_WAVE_BLOCKS");
  return value != nullptr ? static_cast<unsigned>(std::strtoul(value, nullptr, 10)) : 0u;
}

WaveShape ShapeFor(int device, int threadsPerBlock, int blocksPerSm) {
  cudaDeviceProp properties{};
  Must(cudaGetDeviceProperties(&properties, device), "cudaGetDeviceProperties");
  // The kernel reads nothing through the L1 cache worth keeping there: all
  // of it may go to shared memory, for as many walls as possible.
  Must(cudaFuncSetAttribute(PlayWave, cudaFuncAttributePreferredSharedMemoryCarveout, cudaSharedmemCarveoutMaxShared),
       "cudaFuncSetAttribute");
  int fit = 0;
  Must(cudaOccupancyMaxActiveBlocksPerMultiprocessor(&fit, PlayWave, threadsPerBlock, SharedBytes(threadsPerBlock)),
       "cudaOccupancyMaxActiveBlocksPerMultiprocessor");
  const int perSm = blocksPerSm > 0 ? std::min(blocksPerSm, std::max(fit, 1)) : std::max(fit, 1);
  return {threadsPerBlock, static_cast<unsigned>(properties.multiProcessorCount * perSm)};
}

// One wave's buffers on both sides, the host's pinned so that the copies run
// beside the kernels.
class Wave {
 public:
  explicit Wave(unsigned capacity) {
    Must(cudaMallocHost(&tasks_, capacity * sizeof(DeviceTask)), "cudaMallocHost");
    Must(cudaMallocHost(&outcomes_, capacity * sizeof(DeviceBlockOutcome)), "cudaMallocHost");
    Must(cudaMalloc(&deviceTasks_, capacity * sizeof(DeviceTask)), "cudaMalloc");
    Must(cudaMalloc(&deviceOutcomes_, capacity * sizeof(DeviceBlockOutcome)), "cudaMalloc");
    Must(cudaEventCreateWithFlags(&done_, cudaEventBlockingSync | cudaEventDisableTiming), "cudaEventCreate");
  }
  ~Wave() {
    cudaEventDestroy(done_);
    cudaFree(deviceOutcomes_);
    cudaFree(deviceTasks_);
    cudaFreeHost(outcomes_);
    cudaFreeHost(tasks_);
  }
  Wave(const Wave&) = delete;
  Wave& operator=(const Wave&) = delete;

  // tasks: at most the capacity.
  void Launch(cudaStream_t stream, std::uint64_t seed, const WaveShape& shape, const DistanceTables* tables,
              const std::vector<DeviceTask>& tasks) {
    const auto count = static_cast<unsigned>(tasks.size());
    std::copy(tasks.begin(), tasks.end(), tasks_);
    Must(cudaMemcpyAsync(deviceTasks_, tasks_, count * sizeof(DeviceTask), cudaMemcpyHostToDevice, stream),
         "cudaMemcpyAsync");
    const unsigned grid = (count + shape.threadsPerBlock - 1) / shape.threadsPerBlock;
    PlayWave<<<grid, shape.threadsPerBlock, SharedBytes(shape.threadsPerBlock), stream>>>(seed, deviceTasks_, count, tables,
                                                                                          deviceOutcomes_);
    Must(cudaGetLastError(), "kernel launch");
    Must(
        cudaMemcpyAsync(outcomes_, deviceOutcomes_, count * sizeof(DeviceBlockOutcome), cudaMemcpyDeviceToHost, stream),
        "cudaMemcpyAsync");
    Must(cudaEventRecord(done_, stream), "cudaEventRecord");
  }

  const DeviceBlockOutcome* Wait() {
    Must(cudaEventSynchronize(done_), "the wave");
    return outcomes_;
  }

 private:
  DeviceTask* tasks_ = nullptr;
  DeviceBlockOutcome* outcomes_ = nullptr;
  DeviceTask* deviceTasks_ = nullptr;
  DeviceBlockOutcome* deviceOutcomes_ = nullptr;
  cudaEvent_t done_ = nullptr;
};

int ChosenDevice() {
  int count = 0;
  if (cudaGetDeviceCount(&count) != cudaSuccess || count == 0) return -1;
  return LocalRank() % count;
}

// Two waves on one stream: the second queued behind the first, so that the
// GPU goes from one to the next without waiting for the host.
class GpuWaveLauncher final : public WaveLauncher {
 public:
  GpuWaveLauncher(std::uint64_t seed, int threadsPerBlock, int blocksPerSm, unsigned most)
      : seed_(seed), device_(ChosenDevice()) {
    Must(cudaSetDevice(device_), "cudaSetDevice");
    shape_ = ShapeFor(device_, threadsPerBlock, blocksPerSm);
    shape_.most = most;
    Must(cudaStreamCreateWithFlags(&stream_, cudaStreamNonBlocking), "cudaStreamCreate");
    // The tables stay in the GPU's memory for the batch; at some 16 MB
    // they fit its L2 cache, which the two lookups a game go to.
    Must(cudaMalloc(&tables_, sizeof(DistanceTables)), "cudaMalloc");
    Must(cudaMemcpy(tables_, &SharedDistanceTables(), sizeof(DistanceTables), cudaMemcpyHostToDevice), "cudaMemcpy");
    waves_[0] = std::make_unique<Wave>(shape_.Blocks());
    waves_[1] = std::make_unique<Wave>(shape_.Blocks());
  }
  ~GpuWaveLauncher() override {
    waves_[0].reset();
    waves_[1].reset();
    cudaFree(tables_);
    cudaStreamDestroy(stream_);
  }

  unsigned Capacity() const override { return shape_.Blocks(); }
  void Begin() override { Must(cudaSetDevice(device_), "cudaSetDevice"); }
  void Launch(int slot, const std::vector<DeviceTask>& tasks) override {
    waves_[slot]->Launch(stream_, seed_, shape_, tables_, tasks);
  }
  const DeviceBlockOutcome* Wait(int slot) override { return waves_[slot]->Wait(); }

 private:
  std::uint64_t seed_;
  int device_;
  WaveShape shape_;
  cudaStream_t stream_ = nullptr;
  DistanceTables* tables_ = nullptr;
  std::unique_ptr<Wave> waves_[2];
};

}  // namespace

bool BuiltWithCuda() { return true; }

GpuCheck CheckGpu() {
  int count = 0;
  const cudaError_t error = cudaGetDeviceCount(&count);
  if (error != cudaSuccess)
    return {false, std::string("no usable CUDA GPU or driver (") + cudaGetErrorString(error) + ")", ""};
  if (count == 0) return {false, "no CUDA GPU found", ""};
  const int device = LocalRank() % count;
  cudaDeviceProp properties{};
  if (cudaGetDeviceProperties(&properties, device) != cudaSuccess) return {false, "the GPU cannot be read", ""};
  if (properties.major < 9)
    return {false,
            std::string("the GPU ") + properties.name + " is of compute capability " +
                std::to_string(properties.major) + "." + std::to_string(properties.minor) +
                "; this build needs 9.0 or later",
            ""};
  return {true, "", properties.name};
}

std::unique_ptr<BlockPlayers> StartGpuBlockPlayers(std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel,
                                                   ResultQueue& results) {
  return std::make_unique<WavePlayers>(seed, supply, cancel, results,
                                       std::make_unique<GpuWaveLauncher>(seed, kDefaultThreadsPerBlock, 0, WaveCap()));
}

GpuFacts ReadGpuFacts() {
  const int device = ChosenDevice();
  GpuFacts facts;
  if (device < 0) return facts;
  cudaDeviceProp properties{};
  Must(cudaGetDeviceProperties(&properties, device), "cudaGetDeviceProperties");
  int clockKhz = 0;
  Must(cudaDeviceGetAttribute(&clockKhz, cudaDevAttrClockRate, device), "cudaDeviceGetAttribute");
  facts.name = properties.name;
  facts.multiprocessors = properties.multiProcessorCount;
  facts.clockHz = clockKhz * 1000.0;
  return facts;
}

GpuTiming TimeGpuWaves(std::uint64_t seed, int waves, int threadsPerBlock, int blocksPerSm) {
  GpuWaveLauncher launcher(seed, threadsPerBlock, blocksPerSm, 0);
  std::vector<DeviceTask> tasks[2];
  std::deque<int> playing;
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t end = static_cast<std::uint64_t>(waves) * launcher.Capacity();
  for (std::uint64_t next = 0; next < end || !playing.empty();) {
    while (next < end && playing.size() < 2) {
      const int slot = playing.empty() ? 0 : 1 - playing.front();
      tasks[slot].clear();
      for (; next < end && tasks[slot].size() < launcher.Capacity(); ++next) tasks[slot].push_back({next, kBlockGames});
      launcher.Launch(slot, tasks[slot]);
      playing.push_back(slot);
    }
    launcher.Wait(playing.front());
    playing.pop_front();
  }
  return {std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count(), end};
}

}  // namespace kestrum
