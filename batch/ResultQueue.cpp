#include "batch/ResultQueue.h"

#include <utility>

namespace kestrum {

void ResultQueue::Post(BlockResult result) {
  {
    std::lock_guard lock(mutex_);
    results_.push_back(std::move(result));
  }
  posted_.notify_one();
}

std::vector<BlockResult> ResultQueue::TakeAll(std::chrono::milliseconds wait) {
  std::unique_lock lock(mutex_);
  if (results_.empty() && !woken_) posted_.wait_for(lock, wait);
  woken_ = false;
  return std::exchange(results_, {});
}

void ResultQueue::Wake() {
  {
    std::lock_guard lock(mutex_);
    woken_ = true;
  }
  posted_.notify_one();
}

}  // namespace kestrum
