#include "win32/ViewHost.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/SimulationRun.h"
#include "tests/engine/RunDoubles.h"
#include "win32/WindowSystem.h"

namespace kestrum::win32 {
namespace {

// Stand-ins for the two windows; the recorder never dereferences them.
HWND const kView = reinterpret_cast<HWND>(0x1000);
HWND const kFrame = reinterpret_cast<HWND>(0x2000);

std::string Name(HWND window) { return window == kView ? "view" : window == kFrame ? "frame" : "other"; }

class RecordingWindows final : public WindowSystem {
 public:
  void StartTimer(HWND window, UINT_PTR id, UINT periodMs) override {
    calls.push_back("SetTimer " + Name(window) + " " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void StopTimer(HWND window, UINT_PTR id) override {
    calls.push_back("KillTimer " + Name(window) + " " + std::to_string(id));
  }
  void SetTitle(HWND window, const std::wstring& title) override {
    calls.push_back("SetWindowText " + Name(window));
    titles.push_back(title);
  }
  void UpdateNow(HWND window) override { calls.push_back("UpdateWindow " + Name(window)); }
  void Flash(HWND window, bool invert) override {
    calls.push_back("FlashWindow " + Name(window) + (invert ? " TRUE" : " FALSE"));
  }
  void Invalidate(HWND window) override { calls.push_back("InvalidateRect " + Name(window)); }
  void PlayWave(const void* image) override {
    calls.push_back(std::string("sndPlaySound ") + (image == kWave ? "WAVE 134" : "other"));
  }

  std::vector<std::string> Take() { return std::exchange(calls, {}); }

  static inline const char kWave[4] = {'R', 'I', 'F', 'F'};
  std::vector<std::string> calls;
  std::vector<std::wstring> titles;
};

using Calls = std::vector<std::string>;

constexpr Hand kNineGates = {1, 1, 1, 2, 3, 4, 5, 6, 7, 8, 8, 9, 9, 9};  // a complete hand

TEST(ViewHost, TimersAreTheViewsWithTheRunsIdsAndPeriods) {
  RecordingWindows windows;
  ViewHost host(windows, kView, kFrame, RecordingWindows::kWave);
  host.SetTimer(TIMER_GAME, 500);
  host.SetTimer(TIMER_TITLE, 1000);
  host.KillTimer(TIMER_FLASH);
  // A period from a hand-edited store that no timer can keep runs at the
  // fastest the settings offer.
  host.SetTimer(TIMER_GAME, 0);
  host.SetTimer(TIMER_GAME, -40);
  EXPECT_EQ(windows.Take(), (Calls{"SetTimer view 1 500", "SetTimer view 3 1000", "KillTimer view 2",
                                   "SetTimer view 1 10", "SetTimer view 1 10"}));
}

TEST(ViewHost, TitlesGoToTheFrameWhichRepaintsAtOnce) {
  RecordingWindows windows;
  ViewHost host(windows, kView, kFrame, nullptr);
  host.SetMainTitle(kRunningTitle);
  EXPECT_EQ(windows.Take(), (Calls{"SetWindowText frame", "UpdateWindow frame"}));
  ASSERT_EQ(windows.titles.size(), 1u);
  EXPECT_EQ(windows.titles[0], L"Kestrum-[\u5B9F\u884C\u4E2D]-");
}

TEST(ViewHost, RepaintsAreTheViewsAndTheChimeNeedsItsResource) {
  RecordingWindows windows;
  ViewHost silent(windows, kView, kFrame, nullptr);
  silent.InvalidateView();
  silent.PlayTenhouWave();
  EXPECT_EQ(windows.Take(), (Calls{"InvalidateRect view"}));
  ViewHost sounding(windows, kView, kFrame, RecordingWindows::kWave);
  sounding.PlayTenhouWave();
  EXPECT_EQ(windows.Take(), (Calls{"sndPlaySound WAVE 134"}));
}

// The flash as the run drives it: a heavenly hand that stops the run while
// the window is inactive sets timer 2 on the view; each of its ticks flashes
// the frame; activation stops the timer and restores the frame's look.
TEST(ViewHost, AStopWhileInactiveFlashesTheFrameUntilItIsActivated) {
  RecordingWindows windows;
  ViewHost host(windows, kView, kFrame, RecordingWindows::kWave);
  testing::CallLog log;
  testing::MemoryStatusBlock status(log);
  testing::MemoryTenhouLog tenhouLog(log);
  testing::MemoryStore store(log);
  store.values.settings.sound = true;
  testing::StackedDeck deck(log);
  SimulationRun run(RunPorts{host, status, tenhouLog, store},
                    [&deck](Wall& wall, RandomSource& random) { deck.Shuffle(wall, random); });
  deck.Queue(kNineGates);  // after the shuffle the construction makes
  run.StartRun();
  run.OnActivateView(false);
  windows.Take();
  run.OnTimer(TIMER_GAME);
  EXPECT_EQ(windows.Take(), (Calls{"KillTimer view 1", "KillTimer view 3", "SetWindowText frame", "UpdateWindow frame",
                                   "SetTimer view 2 1000", "sndPlaySound WAVE 134", "InvalidateRect view"}));
  ASSERT_FALSE(windows.titles.empty());
  EXPECT_EQ(windows.titles.back(), L"Kestrum");
  run.OnTimer(TIMER_FLASH);
  run.OnTimer(TIMER_FLASH);
  EXPECT_EQ(windows.Take(), (Calls{"FlashWindow frame TRUE", "FlashWindow frame TRUE"}));
  run.OnActivateView(true);
  EXPECT_EQ(windows.Take(), (Calls{"KillTimer view 2", "FlashWindow frame FALSE"}));
}

TEST(ViewHost, AStopWhileActiveDoesNotFlash) {
  RecordingWindows windows;
  ViewHost host(windows, kView, kFrame, nullptr);
  testing::CallLog log;
  testing::MemoryStatusBlock status(log);
  testing::MemoryTenhouLog tenhouLog(log);
  testing::MemoryStore store(log);
  testing::StackedDeck deck(log);
  SimulationRun run(RunPorts{host, status, tenhouLog, store},
                    [&deck](Wall& wall, RandomSource& random) { deck.Shuffle(wall, random); });
  deck.Queue(kNineGates);
  run.StartRun();
  windows.Take();
  run.OnTimer(TIMER_GAME);
  for (const std::string& call : windows.Take()) {
    EXPECT_EQ(call.find("FlashWindow"), std::string::npos) << call;
    EXPECT_NE(call, "SetTimer view 2 1000");
  }
}

}  // namespace
}  // namespace kestrum::win32
