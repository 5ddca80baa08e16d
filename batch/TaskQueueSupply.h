#pragma once
// The blocks a process has been handed by another one, for its threads: a
// thread waits here until a block arrives or the queue is closed.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "batch/BlockSupply.h"

namespace kestrum {

class TaskQueueSupply final : public BlockSupply {
 public:
  std::optional<BlockTask> Take() override;
  std::optional<BlockTask> TakeIfReady() override;
  void Push(const std::vector<BlockTask>& tasks);
  // No more blocks will come: waiting threads get nothing and end.
  void Close();
  std::size_t Waiting() const;
  bool Closed() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<BlockTask> tasks_;
  bool closed_ = false;
};

}  // namespace kestrum
