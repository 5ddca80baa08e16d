#pragma once
// The narrow interfaces through which the simulation run reaches the world
// outside the engine: the window system, the status block, the log file and
// the settings store. The window implements them with Qt and the store with
// files; the tests implement them with recorders and a manual clock.

#include <ctime>
#include <string>
#include <string_view>

namespace kestrum {

struct SimulationState;

enum TimerId : int { TIMER_GAME = 1, TIMER_FLASH = 2, TIMER_TITLE = 3 };

inline constexpr int kTitlePeriodMs = 1000;
inline constexpr int kFlashPeriodMs = 1000;

// Main window titles, UTF-8 for the window system.
inline constexpr std::string_view kRunningTitle = "Kestrum-[実行中]-";
inline constexpr std::string_view kPlainTitle = "Kestrum";

class RunHost {
 public:
  virtual ~RunHost() = default;
  // Setting a timer that is already set replaces it with the new period.
  virtual void SetTimer(TimerId id, int periodMs) = 0;
  virtual void KillTimer(TimerId id) = 0;
  // Sets the main window's title and has it repaint at once.
  virtual void SetMainTitle(std::string_view title) = 0;
  // invert true toggles the attention look once; false restores the normal look.
  virtual void FlashMainWindow(bool invert) = 0;
  // Schedules a repaint of the whole view.
  virtual void InvalidateView() = 0;
  // Starts the heavenly-hand sound and returns at once; silence when there
  // is no sound or no device.
  virtual void PlayTenhouWave() = 0;
  // The calendar clock, whole seconds.
  virtual std::time_t Now() = 0;
};

// The 512-byte shared-memory mirror of the latest game.
class StatusBlockPort {
 public:
  virtual ~StatusBlockPort() = default;
  // Creates the block or opens the one that exists; failure is silent and
  // leaves later writes doing nothing.
  virtual void Create() = 0;
  // Copies the text and a zero byte to the start of the block.
  virtual void Write(std::string_view text) = 0;
  virtual void Close() = 0;
};

// "tenholog.txt" and the in-memory table of heavenly hands.
class TenhouLogPort {
 public:
  virtual ~TenhouLogPort() = default;
  virtual void ReadTenhouLog() = 0;
  // Appends one entry made from the state's start line, hand and counts; now
  // is the entry's end time.
  virtual void AppendTenhouLog(const SimulationState& state, std::time_t now) = 0;
  // The first line of an entry for a run that begins at now, line end included.
  virtual std::string StartHeaderAt(std::time_t now) = 0;
};

// The twelve values that outlive the process.
class SettingsStorePort {
 public:
  virtual ~SettingsStorePort() = default;
  virtual void LoadSettingsAndRecords(SimulationState& state) = 0;
  virtual void SaveSettingsAndRecords(const SimulationState& state) = 0;
};

struct RunPorts {
  RunHost& host;
  StatusBlockPort& statusBlock;
  TenhouLogPort& tenhouLog;
  SettingsStorePort& store;
};

}  // namespace kestrum
