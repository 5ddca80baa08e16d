#pragma once
// The timer-driven run of the simulator: what the main view does with its
// three timers, its counters and a heavenly hand. It owns the whole
// SimulationState and reaches the window system, the status block, the log
// and the store only through RunPorts.

#include <ctime>
#include <functional>
#include <string>

#include "engine/RandomSource.h"
#include "engine/RunPorts.h"
#include "engine/SimulationState.h"

namespace kestrum {

// The longest stretch of play whose games a crash may cost.
inline constexpr std::time_t kSavePeriodSeconds = 60;

// How the run shuffles its wall, at construction and once per game. The
// run's own step is ShuffleWall with the run's RandomSource. The rule tests
// stack the deck instead, since an honest heavenly hand turns up only once in
// some 330000 games. Called once per game, never per random number.
using ShuffleStep = std::function<void(Wall& wall, RandomSource& random)>;

class SimulationRun {
 public:
  // Creates the status block, reads the log, seeds the source from the
  // clock, fills the wall, loads the settings and records, carries the
  // accumulated count over and shuffles once, in that order.
  explicit SimulationRun(RunPorts ports);
  SimulationRun(RunPorts ports, ShuffleStep shuffle);
  // Closes the status block, then saves the settings and records.
  ~SimulationRun();

  SimulationRun(const SimulationRun&) = delete;
  SimulationRun& operator=(const SimulationRun&) = delete;

  const SimulationState& State() const { return state_; }

  void OnTimer(int id);
  void PlayOneGame();
  void StartRun();
  // Start is available exactly while no run is going.
  bool OnUpdateStart() const { return !state_.running; }
  void OnActivateView(bool active);
  // The view's first update: the autostart, at most once.
  void OnUpdate();
  void PlayTenhouSound(int number);
  void StampStartHeader();

  // The settings dialog ended with OK: begins a run when none is going (from
  // 0, never carrying the accumulated count), stores the settings and re-arms
  // the game timer with the new speed.
  void AcceptSettings(const Settings& settings);
  // The record dialog ended with OK after its clear button: the lifetime
  // count restarts from the current run and the heavenly-hand records are
  // emptied, then everything is saved.
  void ClearRecords();

 private:
  void StopRun();
  void AnnounceTenhou();
  void BlinkTitle();
  void BeginRun(bool carryAccumulation);
  void SaveWhenDue(bool justSaved);

  RunPorts ports_;
  ShuffleStep shuffle_;
  SimulationState state_;
  RandomSource random_;
  bool firstUpdate_ = true;
  std::time_t lastSave_ = 0;
  std::string statusText_;  // kept across games, so that writing it does not allocate
};

}  // namespace kestrum
