#pragma once
// Every counter, setting and working flag of the simulator, in the order the
// view has always declared them.

#include <cstdint>
#include <string>

#include "engine/Tiles.h"

namespace kestrum {

struct SimulationState {
  std::int32_t tileWidth = 0;
  std::int32_t tileHeight = 0;
  Hand hand{};
  Wall wall{};
  std::int32_t speed = 0;     // period of the game timer, ms
  std::int32_t interval = 0;  // repaint every N games of the run; 0 = only after heavenly hands
  Count64 sinceCnt = 0;       // games of the current run
  Count64 totalCnt = 0;       // every game ever played
  Count64 tenhoCnt = 0;       // heavenly hands ever found
  Count64 minTenhoCnt = 0;    // shortest run ending in a heavenly hand; 0 = none yet
  Count64 maxTenhoCnt = 0;    // longest such run
  bool pairTaken = false;     // working flag of the complete-hand test
  bool inGame = false;        // guards the game timer against re-entry
  bool lastWasTenhou = false; // true before the first game, so the first start begins a run
  bool running = false;
  bool titleBlink = false;    // the next title tick shows the running title
  bool viewActive = false;
  std::string startHeader;    // first line of the next log entry, line end included
  TileNameTable tileNames{};
  bool sound = false;
  bool logFile = false;
  bool continueRun = false;
  bool autoStart = false;
  bool accumulation = false;
  Count64 accumulationCnt = 0;  // games since the last heavenly hand, across restarts
};

// The seven values of the settings dialog, copied in before it opens and
// applied only when it ends with OK.
struct Settings {
  std::int32_t speed = 500;
  std::int32_t interval = 1;
  bool continueRun = false;
  bool logFile = true;
  bool sound = true;
  bool autoStart = false;
  bool accumulation = true;
};

Settings SettingsOf(const SimulationState& state);

}  // namespace kestrum
