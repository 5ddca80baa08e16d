#include "batch/BlockRandom.h"

#include <cstring>

namespace kestrum {

BlockRandom::Kernel BlockRandom::BestKernel() {
#if KESTRUM_LANE_CHUNKS_X86
  static const Kernel best = __builtin_cpu_supports("avx2") ? Kernel::kAvx2 : Kernel::kSse2;
  return best;
#else
  return Kernel::kPortable;
#endif
}

BlockRandom::BlockRandom(std::uint64_t seed, std::uint64_t block, Kernel kernel)
    : kernel_(kernel <= BestKernel() ? kernel : BestKernel()) {
  for (int lane = 0; lane < kLanes; ++lane)
    SeedLane(seed, block, lane, state_.a[lane], state_.b[lane], state_.c[lane], state_.counter[lane]);
}

void BlockRandom::MakeChunk() {
  const auto append = [this](auto chunks) {
    AppendChunk(chunks);
    chunks.KeepIn(state_);
  };
  switch (kernel_) {
#if KESTRUM_LANE_CHUNKS_X86
    case Kernel::kAvx2:
      MakeChunkAvx2();
      break;
    case Kernel::kSse2:
      append(Sse2Chunks(state_));
      break;
#endif
    default:
      append(PortableChunks(state_));
  }
}

#if KESTRUM_LANE_CHUNKS_X86
KESTRUM_TARGET_AVX2 void BlockRandom::MakeChunkAvx2() {
  Avx2Chunks chunks(state_);
  AppendChunk(chunks);
  chunks.KeepIn(state_);
}
#endif

void BlockRandom::MoveWaitingToFront() {
  const unsigned waiting = end_ - next_;
  std::memmove(values_.data(), values_.data() + next_, waiting * sizeof values_[0]);
  std::memmove(positions_.data(), positions_.data() + next_, waiting * sizeof positions_[0]);
  next_ = 0;
  end_ = waiting;
}

}  // namespace kestrum
