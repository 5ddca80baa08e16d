#pragma once
// Test doubles for the run's ports: a recorder of host calls with a manual
// clock, in-memory status block, log and store, and a stacked deck. Every
// double writes one line per call into a shared CallLog, so that a test can
// check the order of calls across all of them.

#include "engine/RandomSource.h"
#include "engine/RunPorts.h"
#include "engine/SimulationState.h"
#include "engine/Tiles.h"
#include "engine/WallOps.h"

#include <array>
#include <cstddef>
#include <ctime>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrum::testing {

struct CallLog {
  std::vector<std::string> calls;

  void Add(std::string call) { calls.push_back(std::move(call)); }
  std::size_t Mark() const { return calls.size(); }
  std::vector<std::string> Since(std::size_t mark) const {
    return {calls.begin() + static_cast<std::ptrdiff_t>(mark), calls.end()};
  }
  int Count(std::string_view call) const {
    int n = 0;
    for (const std::string& c : calls) n += c == call;
    return n;
  }
};

class RecordingHost final : public RunHost {
 public:
  explicit RecordingHost(CallLog& log) : log_(log) {}

  void SetTimer(TimerId id, int periodMs) override {
    timers_[id] = periodMs;
    log_.Add("SetTimer " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void KillTimer(TimerId id) override {
    timers_.erase(id);
    log_.Add("KillTimer " + std::to_string(id));
  }
  void SetMainTitle(std::string_view title) override {
    title_ = title;
    log_.Add("Title " + title_);
  }
  void FlashMainWindow(bool invert) override { log_.Add(invert ? "Flash on" : "Flash off"); }
  void InvalidateView() override { log_.Add("Invalidate"); }
  void PlayTenhouWave() override { log_.Add("Sound"); }
  std::time_t Now() override {
    log_.Add("Now");
    return now;
  }

  bool TimerOn(TimerId id) const { return timers_.count(id) != 0; }
  int Period(TimerId id) const { return timers_.at(id); }
  const std::string& Title() const { return title_; }

  std::time_t now = 1700000000;

 private:
  CallLog& log_;
  std::map<int, int> timers_;
  std::string title_;
};

class MemoryStatusBlock final : public StatusBlockPort {
 public:
  explicit MemoryStatusBlock(CallLog& log) : log_(log) {}

  void Create() override { log_.Add("Status.Create"); }
  void Write(std::string_view text) override {
    log_.Add("Status.Write");
    texts.emplace_back(text);
    if (duringWrite) duringWrite();
  }
  void Close() override { log_.Add("Status.Close"); }

  std::vector<std::string> texts;
  // Runs inside a write, i.e. in the middle of a game.
  std::function<void()> duringWrite;

 private:
  CallLog& log_;
};

// What the run handed over for one log entry.
struct LoggedTenhou {
  std::string startHeader;
  std::string handText;
  Count64 sinceCnt = 0;
  Count64 totalCnt = 0;
  Count64 tenhoCnt = 0;
  Count64 minTenhoCnt = 0;
  Count64 maxTenhoCnt = 0;
  std::time_t endTime = 0;
};

class MemoryTenhouLog final : public TenhouLogPort {
 public:
  explicit MemoryTenhouLog(CallLog& log) : log_(log) {}

  void ReadTenhouLog() override { log_.Add("Log.Read"); }
  void AppendTenhouLog(const SimulationState& state, std::time_t now) override {
    log_.Add("Log.Append");
    entries.push_back({state.startHeader, HandText(state.hand), state.sinceCnt, state.totalCnt, state.tenhoCnt,
                       state.minTenhoCnt, state.maxTenhoCnt, now});
  }
  std::string StartHeaderAt(std::time_t now) override { return HeaderAt(now); }

  static std::string HeaderAt(std::time_t now) { return "start " + std::to_string(now) + "\n"; }

  std::vector<LoggedTenhou> entries;

 private:
  CallLog& log_;
};

// The twelve stored values; what Load hands out and Save takes in.
struct StoredValues {
  Settings settings;
  Count64 totalCnt = 0;
  Count64 tenhoCnt = 0;
  Count64 maxTenhoCnt = 0;
  Count64 minTenhoCnt = 0;
  Count64 accumulationCnt = 0;
};

class MemoryStore final : public SettingsStorePort {
 public:
  explicit MemoryStore(CallLog& log) : log_(log) {}

  void LoadSettingsAndRecords(SimulationState& state) override {
    log_.Add("Store.Load");
    state.speed = values.settings.speed;
    state.interval = values.settings.interval;
    state.continueRun = values.settings.continueRun;
    state.logFile = values.settings.logFile;
    state.sound = values.settings.sound;
    state.autoStart = values.settings.autoStart;
    state.accumulation = values.settings.accumulation;
    state.totalCnt = values.totalCnt;
    state.tenhoCnt = values.tenhoCnt;
    state.maxTenhoCnt = values.maxTenhoCnt;
    state.minTenhoCnt = values.minTenhoCnt;
    state.accumulationCnt = values.accumulationCnt;
  }
  void SaveSettingsAndRecords(const SimulationState& state) override {
    log_.Add("Store.Save");
    values = {SettingsOf(state), state.totalCnt,    state.tenhoCnt,
              state.maxTenhoCnt, state.minTenhoCnt, state.accumulationCnt};
  }

  StoredValues values;

 private:
  CallLog& log_;
};

// A shuffle that lays out the wall so that the next deal is the hand the
// test asked for (queued hands first, then the filler), keeping four tiles of
// each kind. With honest set it shuffles as the run itself does.
class StackedDeck {
 public:
  explicit StackedDeck(CallLog& log) : log_(log) {}

  void Shuffle(Wall& wall, RandomSource& random) {
    log_.Add("Shuffle");
    if (honest) {
      ShuffleWall(wall, random);
      return;
    }
    Hand next = filler;
    if (!queued_.empty()) {
      next = queued_.front();
      queued_.pop_front();
    }
    LayOut(wall, next);
  }

  void Queue(const Hand& hand) { queued_.push_back(hand); }

  // 2m 3m 3m 7m 1p 1p 5p 9p 4s 6s East West White Red: no complete hand.
  Hand filler = {2, 3, 3, 7, 10, 10, 14, 18, 22, 24, 28, 30, 32, 34};
  bool honest = false;

 private:
  // The hand's tiles in reverse order at the front, so that the deal still
  // needs its sort; the rest of the tiles behind them in code order.
  static void LayOut(Wall& wall, const Hand& front) {
    std::array<int, kTileKinds + 1> left{};
    left.fill(kCopiesPerKind);
    int slot = 0;
    for (int k = kHandSize - 1; k >= 0; --k) {
      wall[slot++] = front[k];
      --left[front[k]];
    }
    for (TileCode code = 1; code <= kTileKinds; ++code)
      for (; left[code] > 0; --left[code]) wall[slot++] = code;
  }

  CallLog& log_;
  std::deque<Hand> queued_;
};

}  // namespace kestrum::testing
