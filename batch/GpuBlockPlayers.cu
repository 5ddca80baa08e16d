// The batch's blocks on a CUDA GPU: one GPU thread plays one block of 1024
// games from its generator to its heavenly hands, with the wall in shared
// memory. A wave is as many blocks as the GPU holds at once; the next wave
// is queued behind the one playing, so the GPU never waits while this
// thread hands the last wave's results over.

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

namespace kestrum {
namespace {

// Four warps to a CUDA block: small enough that the multiprocessors fill
// evenly whatever limit (registers or shared memory) binds.
constexpr int kDefaultThreadsPerBlock = 128;

__global__ void PlayWave(std::uint64_t seed, const DeviceTask* tasks, unsigned count, DeviceBlockOutcome* outcomes) {
  extern __shared__ std::uint8_t stripes[];
  const unsigned index = blockIdx.x * blockDim.x + threadIdx.x;
  if (index >= count) return;
  const StripedWall wall(stripes, threadIdx.x);
  PlayDeviceBlock(seed, tasks[index], wall, outcomes[index]);
}

std::size_t SharedBytes(int threadsPerBlock) {
  return static_cast<std::size_t>(threadsPerBlock / kWarpThreads) * kStripedWarpBytes;
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
  for (const char* name : {"OMPI_COMM_WORLD_LOCAL_RANK", "MPI_LOCALRANKID", "SLURM_LOCALID", "MV2_COMM_WORLD_LOCAL_RANK"})
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
  explicit Wave(unsigned capacity) : capacity_(capacity) {
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

  // Takes blocks up to the wave's size; waits for the first only when told
  // to. False when none was taken.
  bool Fill(BlockSupply& supply, bool waitForOne) {
    count_ = 0;
    std::optional<BlockTask> task = waitForOne ? supply.Take() : supply.TakeIfReady();
    while (task) {
      tasks_[count_++] = DeviceTask{task->block, task->games};
      if (count_ == capacity_) break;
      task = supply.TakeIfReady();
    }
    return count_ > 0;
  }

  void FillWith(std::uint64_t first, unsigned count) {
    count_ = std::min(count, capacity_);
    for (unsigned k = 0; k < count_; ++k) tasks_[k] = DeviceTask{first + k, kBlockGames};
  }

  void Launch(cudaStream_t stream, std::uint64_t seed, const WaveShape& shape) {
    Must(cudaMemcpyAsync(deviceTasks_, tasks_, count_ * sizeof(DeviceTask), cudaMemcpyHostToDevice, stream),
         "cudaMemcpyAsync");
    const unsigned grid = (count_ + shape.threadsPerBlock - 1) / shape.threadsPerBlock;
    PlayWave<<<grid, shape.threadsPerBlock, SharedBytes(shape.threadsPerBlock), stream>>>(seed, deviceTasks_, count_,
                                                                                          deviceOutcomes_);
    Must(cudaGetLastError(), "kernel launch");
    Must(cudaMemcpyAsync(outcomes_, deviceOutcomes_, count_ * sizeof(DeviceBlockOutcome), cudaMemcpyDeviceToHost,
                         stream),
         "cudaMemcpyAsync");
    Must(cudaEventRecord(done_, stream), "cudaEventRecord");
  }

  void Wait() { Must(cudaEventSynchronize(done_), "the wave"); }

  unsigned Count() const { return count_; }
  const DeviceTask& Task(unsigned k) const { return tasks_[k]; }
  const DeviceBlockOutcome& Outcome(unsigned k) const { return outcomes_[k]; }

 private:
  unsigned capacity_;
  unsigned count_ = 0;
  DeviceTask* tasks_ = nullptr;
  DeviceBlockOutcome* outcomes_ = nullptr;
  DeviceTask* deviceTasks_ = nullptr;
  DeviceBlockOutcome* deviceOutcomes_ = nullptr;
  cudaEvent_t done_ = nullptr;
};

class Stream {
 public:
  Stream() { Must(cudaStreamCreateWithFlags(&stream_, cudaStreamNonBlocking), "cudaStreamCreate"); }
  ~Stream() { cudaStreamDestroy(stream_); }
  Stream(const Stream&) = delete;
  Stream& operator=(const Stream&) = delete;
  operator cudaStream_t() const { return stream_; }

 private:
  cudaStream_t stream_ = nullptr;
};

int ChosenDevice() {
  int count = 0;
  if (cudaGetDeviceCount(&count) != cudaSuccess || count == 0) return -1;
  return LocalRank() % count;
}

class GpuBlockPlayers final : public BlockPlayers {
 public:
  GpuBlockPlayers(std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel, ResultQueue& results)
      : seed_(seed), supply_(supply), cancel_(cancel), results_(results), device_(ChosenDevice()) {
    Must(cudaSetDevice(device_), "cudaSetDevice");
    shape_ = ShapeFor(device_, kDefaultThreadsPerBlock, 0);
    shape_.most = WaveCap();
    thread_ = std::thread([this] { Play(); });
  }
  ~GpuBlockPlayers() override { Join(); }

  std::uint64_t GamesPlayed() const override { return played_.load(std::memory_order_relaxed); }
  bool AllEnded() const override { return ended_.load(); }
  void Join() override {
    if (thread_.joinable()) thread_.join();
  }
  std::size_t BlocksWanted() const override { return 2 * static_cast<std::size_t>(shape_.Blocks()); }

 private:
  bool Halted() const { return cancel_.halt != nullptr && cancel_.halt->load(); }

  // Keeps two waves in flight while blocks are there; stops taking more
  // once the batch halts and hands over the waves still playing, which are
  // whole blocks.
  void Play() {
    Must(cudaSetDevice(device_), "cudaSetDevice");
    {
      Stream stream;
      Wave first(shape_.Blocks());
      Wave second(shape_.Blocks());
      std::deque<Wave*> playing;
      for (;;) {
        while (!Halted() && playing.size() < 2) {
          Wave& spare = playing.empty() || playing.front() == &second ? first : second;
          if (!spare.Fill(supply_, playing.empty())) break;
          spare.Launch(stream, seed_, shape_);
          playing.push_back(&spare);
        }
        if (playing.empty()) break;
        Wave& done = *playing.front();
        playing.pop_front();
        done.Wait();
        Post(done);
      }
    }
    ended_.store(true);
    results_.Wake();
  }

  void Post(const Wave& wave) {
    std::uint64_t games = 0;
    for (unsigned k = 0; k < wave.Count(); ++k) {
      const DeviceTask& task = wave.Task(k);
      games += task.games;
      const bool pastTheLastNeeded = cancel_.lastNeededBlock != nullptr &&
                                     task.block > cancel_.lastNeededBlock->load(std::memory_order_relaxed);
      if (pastTheLastNeeded) continue;
      std::optional<BlockResult> result = ToBlockResult(task.block, wave.Outcome(k));
      if (!result) result = PlayBlock(seed_, task.block, task.games, BlockCancel{});
      results_.Post(std::move(*result));
    }
    played_.fetch_add(games, std::memory_order_relaxed);
  }

  std::uint64_t seed_;
  BlockSupply& supply_;
  BlockCancel cancel_;
  ResultQueue& results_;
  int device_;
  WaveShape shape_;
  std::atomic<std::uint64_t> played_{0};
  std::atomic<bool> ended_{false};
  std::thread thread_;  // last: it starts at once and uses the members above
};

}  // namespace

bool BuiltWithCuda() { return true; }

GpuCheck CheckGpu() {
  int count = 0;
  const cudaError_t error = cudaGetDeviceCount(&count);
  if (error != cudaSuccess) return {false, std::string("no usable CUDA GPU or driver (") + cudaGetErrorString(error) + ")", ""};
  if (count == 0) return {false, "no CUDA GPU found", ""};
  const int device = LocalRank() % count;
  cudaDeviceProp properties{};
  if (cudaGetDeviceProperties(&properties, device) != cudaSuccess) return {false, "the GPU cannot be read", ""};
  if (properties.major < 9)
    return {false,
            std::string("the GPU ") + properties.name + " is of compute capability " + std::to_string(properties.major) +
                "." + std::to_string(properties.minor) + "; this build needs 9.0 or later",
            ""};
  return {true, "", properties.name};
}

std::unique_ptr<BlockPlayers> StartGpuBlockPlayers(std::uint64_t seed, BlockSupply& supply, const BlockCancel& cancel,
                                                   ResultQueue& results) {
  return std::make_unique<GpuBlockPlayers>(seed, supply, cancel, results);
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

double TimeGpuBlocks(std::uint64_t seed, std::uint64_t first, std::uint64_t count, int threadsPerBlock,
                     int blocksPerSm) {
  const int device = ChosenDevice();
  Must(cudaSetDevice(device), "cudaSetDevice");
  const WaveShape shape = ShapeFor(device, threadsPerBlock, blocksPerSm);
  Stream stream;
  Wave firstWave(shape.Blocks());
  Wave secondWave(shape.Blocks());
  std::deque<Wave*> playing;
  const auto start = std::chrono::steady_clock::now();
  const std::uint64_t end = first + count;
  for (std::uint64_t next = first; next < end || !playing.empty();) {
    while (next < end && playing.size() < 2) {
      Wave& spare = playing.empty() || playing.front() == &secondWave ? firstWave : secondWave;
      spare.FillWith(next, static_cast<unsigned>(std::min<std::uint64_t>(end - next, shape.Blocks())));
      next += spare.Count();
      spare.Launch(stream, seed, shape);
      playing.push_back(&spare);
    }
    playing.front()->Wait();
    playing.pop_front();
  }
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace kestrum
