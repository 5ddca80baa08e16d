// The rules of the timer-driven run, checked against recorded port calls and
// a manual clock. The deck is stacked so that a heavenly hand comes exactly
// when a test wants one.

#include "RunDoubles.h"
#include "engine/SimulationRun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <memory>
#include <string>
#include <vector>

namespace kestrum {
namespace {

using testing::CallLog;
using testing::MemoryStatusBlock;
using testing::MemoryStore;
using testing::MemoryTenhouLog;
using testing::RecordingHost;
using testing::StackedDeck;
using Calls = std::vector<std::string>;

// 1m 1m 1m 2m 3m 4m 5m 5m 6m 7m 8m 9m 9m 9m: four sets and a pair.
constexpr Hand kCompleteHand = {1, 1, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9, 9, 9};

const std::string kRunning(kRunningTitle);
const std::string kPlain(kPlainTitle);

class RunTest : public ::testing::Test {
 protected:
  void Construct() {
    run_ = std::make_unique<SimulationRun>(RunPorts{host_, status_, tenhouLog_, store_},
                                           [this](Wall& wall, RandomSource& random) { deck_.Shuffle(wall, random); });
  }
  void Destroy() { run_.reset(); }

  SimulationRun& Run() { return *run_; }
  const SimulationState& State() const { return run_->State(); }

  void Tick(TimerId id, int times = 1) {
    for (int i = 0; i < times; ++i) run_->OnTimer(id);
  }
  void PlayOrdinary(int games) { Tick(TIMER_GAME, games); }
  void PlayTenhou() {
    deck_.Queue(kCompleteHand);
    Tick(TIMER_GAME);
    ASSERT_TRUE(State().lastWasTenhou);
  }
  // A game's calls, from its shuffle on.
  Calls CallsOfOneTick(TimerId id) {
    const std::size_t mark = log_.Mark();
    Tick(id);
    return log_.Since(mark);
  }

  CallLog log_;
  RecordingHost host_{log_};
  MemoryStatusBlock status_{log_};
  MemoryTenhouLog tenhouLog_{log_};
  MemoryStore store_{log_};
  StackedDeck deck_{log_};
  std::unique_ptr<SimulationRun> run_;
};

// --- construction and destruction -----------------------------------------

TEST_F(RunTest, ConstructionCreatesReadsSeedsLoadsThenShufflesOnce) {
  Construct();
  EXPECT_EQ(log_.calls, (Calls{"Status.Create", "Log.Read", "Now", "Store.Load", "Shuffle"}));
}

TEST_F(RunTest, ConstructionLeavesTheFixedHandAndAnIdleRun) {
  Construct();
  const SimulationState& s = State();
  EXPECT_EQ(s.hand, kFixedStartHand);  // the shuffle does not deal
  EXPECT_EQ(s.tileNames, TileNames());
  EXPECT_EQ(s.tileWidth, 20);
  EXPECT_EQ(s.tileHeight, 28);
  EXPECT_TRUE(s.lastWasTenhou);
  EXPECT_FALSE(s.running);
  EXPECT_FALSE(s.inGame);
  EXPECT_TRUE(s.titleBlink);
  EXPECT_TRUE(s.viewActive);
  EXPECT_TRUE(s.startHeader.empty());
  EXPECT_TRUE(Run().OnUpdateStart());
  EXPECT_FALSE(host_.TimerOn(TIMER_GAME));
  EXPECT_FALSE(host_.TimerOn(TIMER_TITLE));
  EXPECT_TRUE(status_.texts.empty());
}

TEST_F(RunTest, StoredValuesReplaceTheDefaults) {
  store_.values.settings = {250, 100, true, false, false, false, false};
  store_.values.totalCnt = 9000;
  store_.values.tenhoCnt = 3;
  store_.values.maxTenhoCnt = 700000;
  store_.values.minTenhoCnt = 1200;
  store_.values.accumulationCnt = 41;
  Construct();
  const SimulationState& s = State();
  EXPECT_EQ(s.speed, 250);
  EXPECT_EQ(s.interval, 100);
  EXPECT_TRUE(s.continueRun);
  EXPECT_FALSE(s.logFile);
  EXPECT_FALSE(s.sound);
  EXPECT_FALSE(s.accumulation);
  EXPECT_EQ(s.totalCnt, 9000);
  EXPECT_EQ(s.tenhoCnt, 3);
  EXPECT_EQ(s.maxTenhoCnt, 700000);
  EXPECT_EQ(s.minTenhoCnt, 1200);
  EXPECT_EQ(s.accumulationCnt, 41);
  EXPECT_EQ(s.sinceCnt, 0);  // accumulation off: nothing carried
}

TEST_F(RunTest, DestructionClosesTheBlockThenSavesEverything) {
  Construct();
  Run().StartRun();
  PlayOrdinary(12);
  const std::size_t mark = log_.Mark();
  Destroy();
  EXPECT_EQ(log_.Since(mark), (Calls{"Status.Close", "Store.Save"}));
  EXPECT_EQ(store_.values.totalCnt, 12);
  EXPECT_EQ(store_.values.accumulationCnt, 12);
}

TEST_F(RunTest, TheClockSeedsTheShuffle) {
  deck_.honest = true;
  const auto handsAt = [this](std::time_t now) {
    host_.now = now;
    Construct();
    std::vector<Hand> hands;
    for (int game = 0; game < 5; ++game) {
      Run().PlayOneGame();
      hands.push_back(State().hand);
    }
    Destroy();
    return hands;
  };
  const std::vector<Hand> first = handsAt(1700000000);
  EXPECT_EQ(handsAt(1700000000), first);
  EXPECT_NE(handsAt(1700000001), first);
}

// --- counts carried over and the start of a run ---------------------------

TEST_F(RunTest, AccumulationCarriesTheStoredCountIntoTheRun) {
  store_.values.accumulationCnt = 41;
  Construct();
  EXPECT_EQ(State().sinceCnt, 41);
  Run().StartRun();
  EXPECT_EQ(State().sinceCnt, 41);
  PlayOrdinary(1);
  EXPECT_EQ(State().sinceCnt, 42);
  EXPECT_EQ(State().accumulationCnt, 42);
  EXPECT_EQ(State().totalCnt, 1);
}

TEST_F(RunTest, WithoutAccumulationTheRunStartsAtZeroButTheCarriedCountGoesOn) {
  store_.values.settings.accumulation = false;
  store_.values.accumulationCnt = 41;
  Construct();
  Run().StartRun();
  EXPECT_EQ(State().sinceCnt, 0);
  PlayOrdinary(3);
  EXPECT_EQ(State().sinceCnt, 3);
  EXPECT_EQ(State().accumulationCnt, 44);
  PlayTenhou();
  EXPECT_EQ(State().accumulationCnt, 0);
}

TEST_F(RunTest, StartBeginsARunWithHeaderAndTimers) {
  store_.values.settings.speed = 120;
  Construct();
  host_.now = 1700000500;
  const std::size_t mark = log_.Mark();
  Run().StartRun();
  EXPECT_EQ(log_.Since(mark), (Calls{"Now", "SetTimer 3 1000", "SetTimer 1 120"}));
  EXPECT_TRUE(State().running);
  EXPECT_FALSE(Run().OnUpdateStart());
  EXPECT_EQ(State().startHeader, MemoryTenhouLog::HeaderAt(1700000500));
}

TEST_F(RunTest, StartDuringARunOnlyReArmsTheGameTimer) {
  Construct();
  Run().StartRun();
  PlayOrdinary(5);
  const std::string header = State().startHeader;
  const std::size_t mark = log_.Mark();
  Run().StartRun();
  EXPECT_EQ(log_.Since(mark), (Calls{"SetTimer 1 500"}));
  EXPECT_EQ(State().sinceCnt, 5);
  EXPECT_EQ(State().startHeader, header);
}

TEST_F(RunTest, AcceptedSettingsWhileIdleStartAFreshRunEvenWithACarriedCount) {
  store_.values.accumulationCnt = 41;
  Construct();
  Settings settings = SettingsOf(State());
  settings.speed = 40;
  settings.interval = 10;
  const std::size_t mark = log_.Mark();
  Run().AcceptSettings(settings);
  EXPECT_EQ(log_.Since(mark), (Calls{"Now", "SetTimer 3 1000", "SetTimer 1 40"}));
  EXPECT_EQ(State().sinceCnt, 0);
  EXPECT_EQ(State().accumulationCnt, 41);
  EXPECT_TRUE(State().running);
  EXPECT_EQ(State().interval, 10);
}

TEST_F(RunTest, AcceptedSettingsDuringARunAreStoredAndReArmTheGameTimer) {
  Construct();
  Run().StartRun();
  PlayOrdinary(7);
  const std::string header = State().startHeader;
  const Settings settings{75, 1000, true, false, false, true, false};
  const std::size_t mark = log_.Mark();
  Run().AcceptSettings(settings);
  EXPECT_EQ(log_.Since(mark), (Calls{"SetTimer 1 75"}));
  EXPECT_EQ(State().sinceCnt, 7);
  EXPECT_EQ(State().startHeader, header);
  const Settings now = SettingsOf(State());
  EXPECT_EQ(now.speed, 75);
  EXPECT_EQ(now.interval, 1000);
  EXPECT_TRUE(now.continueRun);
  EXPECT_FALSE(now.logFile);
  EXPECT_FALSE(now.sound);
  EXPECT_TRUE(now.autoStart);
  EXPECT_FALSE(now.accumulation);
}

TEST_F(RunTest, AutostartHappensOnceAtTheFirstUpdate) {
  store_.values.settings.autoStart = true;
  Construct();
  Run().OnUpdate();
  EXPECT_TRUE(State().running);
  EXPECT_EQ(log_.Count("SetTimer 1 500"), 1);
  PlayTenhou();  // the run stops
  Run().OnUpdate();
  EXPECT_FALSE(State().running);
  EXPECT_EQ(log_.Count("SetTimer 1 500"), 1);
}

TEST_F(RunTest, NoAutostartWhenItIsOff) {
  Construct();
  const std::size_t mark = log_.Mark();
  Run().OnUpdate();
  EXPECT_TRUE(log_.Since(mark).empty());
  EXPECT_FALSE(State().running);
}

// --- one game ---------------------------------------------------------------

TEST_F(RunTest, AnOrdinaryGameCountsWritesTheBlockAndRepaints) {
  Construct();
  Run().StartRun();
  EXPECT_EQ(CallsOfOneTick(TIMER_GAME), (Calls{"Shuffle", "Status.Write", "Invalidate", "Now"}));
  EXPECT_EQ(State().hand, deck_.filler);
  EXPECT_FALSE(State().lastWasTenhou);
  EXPECT_EQ(State().sinceCnt, 1);
  EXPECT_EQ(State().totalCnt, 1);
  EXPECT_EQ(State().accumulationCnt, 1);
  EXPECT_FALSE(State().inGame);
}

TEST_F(RunTest, TicksArrivingDuringAGameAreDropped) {
  Construct();
  Run().StartRun();
  status_.duringWrite = [this] { Tick(TIMER_GAME, 3); };
  PlayOrdinary(2);
  EXPECT_EQ(State().totalCnt, 2);
  EXPECT_EQ(log_.Count("Shuffle"), 3);  // construction + two games
  EXPECT_FALSE(State().inGame);
}

TEST_F(RunTest, RepaintsFollowTheRunsCountNotTheGamesPlayed) {
  store_.values.settings.interval = 10;
  store_.values.accumulationCnt = 95;
  Construct();
  Run().StartRun();
  std::vector<Count64> repaintedAt;
  for (int game = 0; game < 20; ++game) {
    const Calls calls = CallsOfOneTick(TIMER_GAME);
    if (std::find(calls.begin(), calls.end(), "Invalidate") != calls.end()) repaintedAt.push_back(State().sinceCnt);
  }
  EXPECT_EQ(repaintedAt, (std::vector<Count64>{100, 110}));
}

TEST_F(RunTest, IntervalZeroRepaintsOnlyAfterHeavenlyHands) {
  store_.values.settings.interval = 0;
  Construct();
  Run().StartRun();
  PlayOrdinary(50);
  EXPECT_EQ(log_.Count("Invalidate"), 0);
  PlayTenhou();
  EXPECT_EQ(log_.Count("Invalidate"), 1);
}

TEST_F(RunTest, CountsAtTheTopOfTheirRangeWrapInsteadOfOverflowing) {
  store_.values.totalCnt = std::numeric_limits<Count64>::max();
  store_.values.settings.interval = 7;
  Construct();
  Run().StartRun();
  PlayOrdinary(2);
  EXPECT_EQ(State().totalCnt, std::numeric_limits<Count64>::min() + 1);
  EXPECT_EQ(State().sinceCnt, 2);
}

// --- heavenly hands ---------------------------------------------------------

TEST_F(RunTest, AHeavenlyHandStopsTheRunBeforeTheAnnouncement) {
  Construct();
  Run().StartRun();
  PlayOrdinary(4);
  deck_.Queue(kCompleteHand);
  EXPECT_EQ(CallsOfOneTick(TIMER_GAME),
            (Calls{"Shuffle", "KillTimer 1", "KillTimer 3", "Title " + kPlain, "Status.Write", "Sound", "Now",
                   "Log.Append", "Store.Save", "Invalidate", "Now"}));
  const SimulationState& s = State();
  EXPECT_TRUE(s.lastWasTenhou);
  EXPECT_FALSE(s.running);
  EXPECT_TRUE(Run().OnUpdateStart());
  EXPECT_FALSE(host_.TimerOn(TIMER_GAME));
  EXPECT_FALSE(host_.TimerOn(TIMER_TITLE));
  EXPECT_FALSE(host_.TimerOn(TIMER_FLASH));  // the window was active
  EXPECT_EQ(host_.Title(), kPlain);
  EXPECT_EQ(s.sinceCnt, 5);  // the run length stays on show
  EXPECT_EQ(s.accumulationCnt, 0);
}

TEST_F(RunTest, TheLogEntryAndTheSaveSeeTheUpdatedRecords) {
  store_.values.totalCnt = 1000;
  Construct();
  host_.now = 1700000100;
  Run().StartRun();
  PlayOrdinary(9);
  host_.now = 1700000200;
  PlayTenhou();
  ASSERT_EQ(tenhouLog_.entries.size(), 1u);
  const testing::LoggedTenhou& entry = tenhouLog_.entries[0];
  EXPECT_EQ(entry.startHeader, MemoryTenhouLog::HeaderAt(1700000100));
  EXPECT_EQ(entry.handText, HandText(kCompleteHand));
  EXPECT_EQ(entry.sinceCnt, 10);
  EXPECT_EQ(entry.totalCnt, 1010);
  EXPECT_EQ(entry.tenhoCnt, 1);
  EXPECT_EQ(entry.minTenhoCnt, 10);
  EXPECT_EQ(entry.maxTenhoCnt, 10);
  EXPECT_EQ(entry.endTime, 1700000200);
  // Saved with the accumulated count already back at 0, so that a kill
  // before the next save cannot carry the finished run into the next start.
  EXPECT_EQ(store_.values.accumulationCnt, 0);
  EXPECT_EQ(store_.values.tenhoCnt, 1);
  EXPECT_EQ(store_.values.totalCnt, 1010);
}

TEST_F(RunTest, ShortestAndLongestRunsChangeOnlyWhenBeaten) {
  Construct();
  const auto runEndingAfter = [this](int games) {
    Run().StartRun();
    PlayOrdinary(games - 1);
    PlayTenhou();
  };
  runEndingAfter(500);
  EXPECT_EQ(State().tenhoCnt, 1);
  EXPECT_EQ(State().minTenhoCnt, 500);
  EXPECT_EQ(State().maxTenhoCnt, 500);
  runEndingAfter(300);
  EXPECT_EQ(State().tenhoCnt, 2);
  EXPECT_EQ(State().minTenhoCnt, 300);
  EXPECT_EQ(State().maxTenhoCnt, 500);
  runEndingAfter(300);
  runEndingAfter(500);
  EXPECT_EQ(State().tenhoCnt, 4);
  EXPECT_EQ(State().minTenhoCnt, 300);
  EXPECT_EQ(State().maxTenhoCnt, 500);
  runEndingAfter(501);
  EXPECT_EQ(State().maxTenhoCnt, 501);
  EXPECT_EQ(State().totalCnt, 2101);
}

TEST_F(RunTest, WithContinueTheNextRunBeginsAtTheHeavenlyHand) {
  store_.values.settings.continueRun = true;
  Construct();
  Run().StartRun();
  PlayOrdinary(6);
  host_.now = 1700000777;
  deck_.Queue(kCompleteHand);
  EXPECT_EQ(CallsOfOneTick(TIMER_GAME),
            (Calls{"Shuffle", "Status.Write", "Sound", "Now", "Log.Append", "Store.Save", "Invalidate", "Now", "Now"}));
  EXPECT_TRUE(State().running);
  EXPECT_TRUE(host_.TimerOn(TIMER_GAME));
  EXPECT_TRUE(host_.TimerOn(TIMER_TITLE));
  EXPECT_EQ(State().sinceCnt, 0);
  EXPECT_EQ(State().startHeader, MemoryTenhouLog::HeaderAt(1700000777));
  EXPECT_EQ(status_.texts.back().substr(0, 1), "1");
  EXPECT_EQ(status_.texts.back().substr(30), "+7");
  PlayOrdinary(1);
  EXPECT_EQ(State().sinceCnt, 1);
  EXPECT_EQ(status_.texts.back().substr(30), "+1");
}

TEST_F(RunTest, SoundAndLogEntryFollowTheirSwitches) {
  store_.values.settings.sound = false;
  store_.values.settings.logFile = false;
  Construct();
  Run().StartRun();
  PlayTenhou();
  EXPECT_EQ(log_.Count("Sound"), 0);
  EXPECT_EQ(log_.Count("Log.Append"), 0);
  EXPECT_EQ(log_.Count("Store.Save"), 1);
  EXPECT_EQ(State().tenhoCnt, 1);
}

TEST_F(RunTest, OnlySoundNumbersZeroToTwoPlay) {
  Construct();
  for (int number : {-1, 0, 1, 2, 3, 134}) Run().PlayTenhouSound(number);
  EXPECT_EQ(log_.Count("Sound"), 3);
}

TEST_F(RunTest, ClearingTheRecordsKeepsTheRunAndSaves) {
  store_.values.totalCnt = 5000;
  store_.values.tenhoCnt = 2;
  store_.values.minTenhoCnt = 40;
  store_.values.maxTenhoCnt = 900;
  Construct();
  Run().StartRun();
  PlayOrdinary(30);
  const std::size_t mark = log_.Mark();
  Run().ClearRecords();
  EXPECT_EQ(log_.Since(mark), (Calls{"Store.Save"}));
  EXPECT_EQ(store_.values.totalCnt, 30);
  EXPECT_EQ(store_.values.tenhoCnt, 0);
  EXPECT_EQ(store_.values.minTenhoCnt, 0);
  EXPECT_EQ(store_.values.maxTenhoCnt, 0);
  EXPECT_EQ(State().sinceCnt, 30);
  EXPECT_TRUE(State().running);
}

// --- the save every minute --------------------------------------------------

TEST_F(RunTest, ARunSavesOnceASavePeriodHasPassedSinceTheLastSave) {
  Construct();
  Run().StartRun();
  for (const std::time_t second : {1, 30, 59}) {
    host_.now = 1700000000 + second;
    PlayOrdinary(10);
  }
  EXPECT_EQ(log_.Count("Store.Save"), 0);
  host_.now = 1700000000 + kSavePeriodSeconds;
  PlayOrdinary(1);
  EXPECT_EQ(log_.Count("Store.Save"), 1);
  EXPECT_EQ(store_.values.totalCnt, 31);
  EXPECT_EQ(store_.values.accumulationCnt, 31);
  host_.now += kSavePeriodSeconds - 1;
  PlayOrdinary(5);
  EXPECT_EQ(log_.Count("Store.Save"), 1);
  host_.now += 1;
  PlayOrdinary(5);
  EXPECT_EQ(log_.Count("Store.Save"), 2);
  EXPECT_EQ(store_.values.totalCnt, 37);
}

TEST_F(RunTest, AHeavenlyHandRestartsTheSavePeriod) {
  Construct();
  Run().StartRun();
  host_.now += 50;
  PlayTenhou();
  Run().StartRun();
  host_.now += 59;
  PlayOrdinary(3);
  EXPECT_EQ(log_.Count("Store.Save"), 1);
  host_.now += 1;
  PlayOrdinary(1);
  EXPECT_EQ(log_.Count("Store.Save"), 2);
  // A kill now loses nothing of the new run and cannot revive the old one.
  EXPECT_EQ(store_.values.accumulationCnt, 4);
  EXPECT_EQ(store_.values.tenhoCnt, 1);
}

TEST_F(RunTest, AClockSetBackStartsThePeriodAgainInsteadOfStoppingTheSaves) {
  Construct();
  Run().StartRun();
  host_.now -= 3600;
  PlayOrdinary(1);
  EXPECT_EQ(log_.Count("Store.Save"), 0);
  host_.now += kSavePeriodSeconds;
  PlayOrdinary(1);
  EXPECT_EQ(log_.Count("Store.Save"), 1);
}

// --- the title and the flash -----------------------------------------------

TEST_F(RunTest, TheTitleBlinksAndANewRunKeepsThePhase) {
  Construct();
  Run().StartRun();
  EXPECT_EQ(CallsOfOneTick(TIMER_TITLE), (Calls{"Title " + kRunning}));
  EXPECT_EQ(CallsOfOneTick(TIMER_TITLE), (Calls{"Title " + kPlain}));
  EXPECT_EQ(CallsOfOneTick(TIMER_TITLE), (Calls{"Title " + kRunning}));
  PlayTenhou();
  Run().StartRun();
  EXPECT_EQ(CallsOfOneTick(TIMER_TITLE), (Calls{"Title " + kPlain}));
  EXPECT_EQ(CallsOfOneTick(TIMER_TITLE), (Calls{"Title " + kRunning}));
}

TEST_F(RunTest, AStopWhileInactiveFlashesUntilTheWindowIsActivated) {
  Construct();
  Run().StartRun();
  Run().OnActivateView(false);
  EXPECT_FALSE(State().viewActive);
  PlayTenhou();
  ASSERT_TRUE(host_.TimerOn(TIMER_FLASH));
  EXPECT_EQ(host_.Period(TIMER_FLASH), 1000);
  Tick(TIMER_FLASH, 3);
  EXPECT_EQ(log_.Count("Flash on"), 3);
  const std::size_t mark = log_.Mark();
  Run().OnActivateView(true);
  EXPECT_EQ(log_.Since(mark), (Calls{"KillTimer 2", "Flash off"}));
  EXPECT_FALSE(host_.TimerOn(TIMER_FLASH));
  EXPECT_TRUE(State().viewActive);
}

TEST_F(RunTest, LosingActivationAloneDoesNothingVisible) {
  Construct();
  const std::size_t mark = log_.Mark();
  Run().OnActivateView(false);
  EXPECT_TRUE(log_.Since(mark).empty());
}

// --- the status block's text -----------------------------------------------

TEST_F(RunTest, EachGameWritesItsResultHandAndRunLength) {
  store_.values.accumulationCnt = 1233;
  Construct();
  Run().StartRun();
  PlayOrdinary(1);
  ASSERT_EQ(status_.texts.size(), 1u);
  EXPECT_EQ(status_.texts[0],
            "0*2m3m3m7m1p1p5p9p4s6s"
            "\x93\x8C\x90\xBC\x94\x92\x92\x86"
            "+1234");
  EXPECT_EQ(status_.texts[0].size(), 35u);
}

TEST_F(RunTest, AHeavenlyHandWritesItsRunLengthBeforeAnyReset) {
  Construct();
  Run().StartRun();
  PlayOrdinary(6);
  PlayTenhou();
  EXPECT_EQ(status_.texts.back(), "1*" + HandText(kCompleteHand) + "+7");
}

}  // namespace
}  // namespace kestrum
