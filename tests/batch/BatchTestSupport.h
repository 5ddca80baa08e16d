#pragma once
// What the tests of the batch runner share.

#include <atomic>

#include "batch/BatchRunner.h"

namespace kestrum::test {

inline const std::atomic<bool> kNeverStop{false};

inline BatchSetup Playing(BlockPlay play, const SequenceState& resumeFrom = {}) {
  BatchSetup setup;
  setup.play = play;
  setup.resumeFrom = resumeFrom;
  return setup;
}

}  // namespace kestrum::test
