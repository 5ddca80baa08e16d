#pragma once
// Finished block results on their way from the threads that play them to the
// one thread that counts them.

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "batch/BlockResult.h"

namespace kestrum {

class ResultQueue {
 public:
  void Post(BlockResult result);
  // Everything posted so far; waits up to `wait` when nothing is there yet.
  std::vector<BlockResult> TakeAll(std::chrono::milliseconds wait);
  // Ends a wait in TakeAll early, for news other than a result.
  void Wake();

 private:
  std::mutex mutex_;
  std::condition_variable posted_;
  std::vector<BlockResult> results_;
  bool woken_ = false;
};

}  // namespace kestrum
