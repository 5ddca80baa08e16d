#pragma once
// The states the kill-test child saves: every stored value derives from the
// heavenly-hand count, so any state loaded back tells whether it is one of
// them.

#include "engine/SimulationState.h"

namespace kestrum::testing {

inline void SetKillLoopState(SimulationState& state, Count64 n) {
  state.tenhoCnt = n;
  state.totalCnt = 1000 * n + 7;
  state.maxTenhoCnt = 3 * n;
  state.minTenhoCnt = n;
  state.accumulationCnt = 5000000000 + n;
  state.sinceCnt = 2 * n;
  state.speed = static_cast<std::int32_t>(10 + n % 991);
  state.interval = static_cast<std::int32_t>(n % 7);
  state.continueRun = n % 2 == 1;
  state.logFile = n % 3 != 0;
  state.sound = n % 5 != 0;
  state.autoStart = n % 11 == 0;
  state.accumulation = n % 13 != 0;
}

inline bool IsKillLoopState(const SimulationState& loaded) {
  SimulationState expected;
  SetKillLoopState(expected, loaded.tenhoCnt);
  return loaded.totalCnt == expected.totalCnt && loaded.maxTenhoCnt == expected.maxTenhoCnt &&
         loaded.minTenhoCnt == expected.minTenhoCnt && loaded.accumulationCnt == expected.accumulationCnt &&
         loaded.speed == expected.speed && loaded.interval == expected.interval &&
         loaded.continueRun == expected.continueRun && loaded.logFile == expected.logFile &&
         loaded.sound == expected.sound && loaded.autoStart == expected.autoStart &&
         loaded.accumulation == expected.accumulation;
}

}  // namespace kestrum::testing
