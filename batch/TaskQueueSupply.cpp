#include "batch/TaskQueueSupply.h"

namespace kestrum {

std::optional<BlockTask> TaskQueueSupply::Take() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return !tasks_.empty() || closed_; });
  if (tasks_.empty()) return std::nullopt;
  const BlockTask task = tasks_.front();
  tasks_.pop_front();
  return task;
}

std::optional<BlockTask> TaskQueueSupply::TakeIfReady() {
  std::lock_guard lock(mutex_);
  if (tasks_.empty()) return std::nullopt;
  const BlockTask task = tasks_.front();
  tasks_.pop_front();
  return task;
}

void TaskQueueSupply::Push(const std::vector<BlockTask>& tasks) {
  {
    std::lock_guard lock(mutex_);
    tasks_.insert(tasks_.end(), tasks.begin(), tasks.end());
  }
  changed_.notify_all();
}

void TaskQueueSupply::Close() {
  {
    std::lock_guard lock(mutex_);
    closed_ = true;
    tasks_.clear();
  }
  changed_.notify_all();
}

std::size_t TaskQueueSupply::Waiting() const {
  std::lock_guard lock(mutex_);
  return tasks_.size();
}

bool TaskQueueSupply::Closed() const {
  std::lock_guard lock(mutex_);
  return closed_;
}

}  // namespace kestrum
