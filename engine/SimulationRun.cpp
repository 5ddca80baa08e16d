#include "engine/SimulationRun.h"

#include "engine/CompleteHand.h"
#include "engine/StatusText.h"
#include "engine/WallOps.h"

#include <utility>

namespace kestrum {
namespace {

// Counts come from a store that a person may have edited, so a count can sit
// at the top of its range; it wraps as the stored text form does instead of
// overflowing.
void CountOne(Count64& count) {
  count = static_cast<Count64>(static_cast<std::uint64_t>(count) + 1U);
}

// Whether the run's count falls on the repaint interval. Any interval from
// the store is taken; -1 and 1 divide everything (and INT64_MIN % -1 would
// trap), 0 means only heavenly hands repaint.
bool OnRepaintInterval(Count64 sinceCnt, std::int32_t interval) {
  if (interval == 0) return false;
  if (interval == 1 || interval == -1) return true;
  return sinceCnt % interval == 0;
}

}  // namespace

Settings SettingsOf(const SimulationState& state) {
  return {state.speed,    state.interval,  state.continueRun, state.logFile,
          state.sound,    state.autoStart, state.accumulation};
}

SimulationRun::SimulationRun(RunPorts ports)
    : SimulationRun(ports, [](Wall& wall, RandomSource& random) { ShuffleWall(wall, random); }) {}

SimulationRun::SimulationRun(RunPorts ports, ShuffleStep shuffle) : ports_(ports), shuffle_(std::move(shuffle)) {
  ports_.statusBlock.Create();
  ports_.tenhouLog.ReadTenhouLog();
  lastSave_ = ports_.host.Now();
  random_.Seed(static_cast<std::uint64_t>(lastSave_));
  state_.tileWidth = 20;
  state_.tileHeight = 28;
  FillWall(state_.wall);
  state_.hand = kFixedStartHand;
  state_.tileNames = TileNames();

  state_.sinceCnt = 0;
  state_.accumulationCnt = 0;
  state_.running = false;
  state_.lastWasTenhou = true;
  state_.pairTaken = false;
  state_.inGame = false;
  state_.speed = 500;
  state_.interval = 1;
  state_.titleBlink = true;
  state_.viewActive = true;
  state_.sound = true;
  state_.logFile = true;
  state_.continueRun = false;
  state_.autoStart = false;
  state_.accumulation = true;

  ports_.store.LoadSettingsAndRecords(state_);
  if (state_.accumulation) state_.sinceCnt = state_.accumulationCnt;
  shuffle_(state_.wall, random_);
}

SimulationRun::~SimulationRun() {
  ports_.statusBlock.Close();
  ports_.store.SaveSettingsAndRecords(state_);
}

void SimulationRun::OnTimer(int id) {
  if (id == TIMER_GAME && !state_.inGame) PlayOneGame();
  if (id == TIMER_FLASH) ports_.host.FlashMainWindow(true);
  if (id == TIMER_TITLE) BlinkTitle();
}

void SimulationRun::BlinkTitle() {
  ports_.host.SetMainTitle(state_.titleBlink ? kRunningTitle : kPlainTitle);
  state_.titleBlink = !state_.titleBlink;
}

void SimulationRun::PlayOneGame() {
  state_.inGame = true;
  shuffle_(state_.wall, random_);
  DealHand(state_.wall, state_.hand);
  SortHand(state_.hand);
  CountOne(state_.sinceCnt);
  CountOne(state_.totalCnt);
  CountOne(state_.accumulationCnt);

  state_.lastWasTenhou = IsCompleteHand(state_.hand, state_.pairTaken);
  if (state_.lastWasTenhou && !state_.continueRun) StopRun();

  WriteStatusText(statusText_, state_.lastWasTenhou, state_.hand, state_.tileNames, state_.sinceCnt);
  ports_.statusBlock.Write(statusText_);

  if (state_.lastWasTenhou) {
    AnnounceTenhou();
  } else if (OnRepaintInterval(state_.sinceCnt, state_.interval)) {
    ports_.host.InvalidateView();
  }
  SaveWhenDue(state_.lastWasTenhou);
  state_.inGame = false;
}

// Besides the fixed save points, the records are saved once a save period
// has passed since the last save, so that a crash or a SIGKILL costs at most
// that period's games. A clock set back starts the period again rather than
// leaving the records unsaved until it has caught up.
void SimulationRun::SaveWhenDue(bool justSaved) {
  const std::time_t now = ports_.host.Now();
  if (justSaved || now < lastSave_) {
    lastSave_ = now;
    return;
  }
  if (now - lastSave_ < kSavePeriodSeconds) return;
  ports_.store.SaveSettingsAndRecords(state_);
  lastSave_ = now;
}

// The heavenly-hand steps in their fixed order: the log entry and the save
// see the updated records. The accumulated count is cleared before the
// save: saved with the run that just ended still in it, a kill before the
// next save would let the next start carry that run on, and the logged runs
// and the longest run would grow without bound.
void SimulationRun::AnnounceTenhou() {
  if (state_.sound) PlayTenhouSound(2);
  CountOne(state_.tenhoCnt);
  if (state_.sinceCnt > state_.maxTenhoCnt) state_.maxTenhoCnt = state_.sinceCnt;
  if (state_.sinceCnt < state_.minTenhoCnt || state_.minTenhoCnt == 0) state_.minTenhoCnt = state_.sinceCnt;
  if (state_.logFile) ports_.tenhouLog.AppendTenhouLog(state_, ports_.host.Now());
  state_.accumulationCnt = 0;
  ports_.store.SaveSettingsAndRecords(state_);
  ports_.host.InvalidateView();
  if (state_.continueRun) {
    state_.sinceCnt = 0;
    StampStartHeader();
  } else {
    state_.running = false;
  }
}

void SimulationRun::StopRun() {
  ports_.host.KillTimer(TIMER_GAME);
  ports_.host.KillTimer(TIMER_TITLE);
  ports_.host.SetMainTitle(kPlainTitle);
  if (!state_.viewActive) ports_.host.SetTimer(TIMER_FLASH, kFlashPeriodMs);
}

void SimulationRun::BeginRun(bool carryAccumulation) {
  state_.sinceCnt = 0;
  state_.running = true;
  if (carryAccumulation && state_.accumulation) state_.sinceCnt = state_.accumulationCnt;
  StampStartHeader();
  ports_.host.SetTimer(TIMER_TITLE, kTitlePeriodMs);
}

void SimulationRun::StartRun() {
  if (state_.lastWasTenhou) BeginRun(true);
  ports_.host.SetTimer(TIMER_GAME, state_.speed);
}

void SimulationRun::AcceptSettings(const Settings& settings) {
  if (state_.lastWasTenhou) BeginRun(false);
  state_.logFile = settings.logFile;
  state_.sound = settings.sound;
  state_.continueRun = settings.continueRun;
  state_.accumulation = settings.accumulation;
  state_.autoStart = settings.autoStart;
  state_.speed = settings.speed;
  ports_.host.SetTimer(TIMER_GAME, state_.speed);
  state_.interval = settings.interval;
}

void SimulationRun::ClearRecords() {
  state_.totalCnt = state_.sinceCnt;
  state_.tenhoCnt = 0;
  state_.maxTenhoCnt = 0;
  state_.minTenhoCnt = 0;
  ports_.store.SaveSettingsAndRecords(state_);
}

void SimulationRun::OnActivateView(bool active) {
  state_.viewActive = active;
  if (active) {
    ports_.host.KillTimer(TIMER_FLASH);
    ports_.host.FlashMainWindow(false);
  }
}

void SimulationRun::OnUpdate() {
  if (!firstUpdate_) return;
  firstUpdate_ = false;
  if (state_.autoStart) StartRun();
}

void SimulationRun::PlayTenhouSound(int number) {
  if (number >= 0 && number <= 2) ports_.host.PlayTenhouWave();
}

void SimulationRun::StampStartHeader() { state_.startHeader = ports_.tenhouLog.StartHeaderAt(ports_.host.Now()); }

}  // namespace kestrum
