#include "ui/RecordFigures.h"

#include <gtest/gtest.h>

#include "engine/SimulationState.h"

namespace kestrum::ui {
namespace {

SimulationState Records(Count64 total, Count64 tenho, Count64 shortest, Count64 longest) {
  SimulationState state;
  state.totalCnt = total;
  state.tenhoCnt = tenho;
  state.minTenhoCnt = shortest;
  state.maxTenhoCnt = longest;
  return state;
}

TEST(RecordFigures, RowsAreThePlainCountsAndTheFiveDigitPercentage) {
  const RecordTexts texts = RecordFiguresOf(Records(5000000000, 3, 250, 4999999000));
  EXPECT_EQ(texts[kTotalRow], "5000000000");
  EXPECT_EQ(texts[kTenhoRow], "3");
  EXPECT_EQ(texts[kProbabilityRow], "6.e-008");
  EXPECT_EQ(texts[kShortestRow], "250");
  EXPECT_EQ(texts[kLongestRow], "4999999000");
}

TEST(RecordFigures, ProbabilityTexts) {
  EXPECT_EQ(RecordFiguresOf(Records(0, 0, 0, 0))[kProbabilityRow], "0.");
  EXPECT_EQ(RecordFiguresOf(Records(5000, 0, 0, 0))[kProbabilityRow], "0.");
  EXPECT_EQ(RecordFiguresOf(Records(330000, 1, 1, 1))[kProbabilityRow], "3.0303e-004");
  EXPECT_EQ(RecordFiguresOf(Records(1000000, 1, 1, 1))[kProbabilityRow], "1.e-004");
  EXPECT_EQ(RecordFiguresOf(Records(2, 1, 1, 1))[kProbabilityRow], "50.");
  EXPECT_EQ(RecordFiguresOf(Records(3, 3, 1, 1))[kProbabilityRow], "100.");
}

TEST(RecordFigures, ClearShowsPlainZerosAndCountsOnlyWithOk) {
  RecordForm form;
  EXPECT_FALSE(form.ClearsRecords(true));
  const RecordTexts zeros = form.Clear();
  for (const std::string& text : zeros) EXPECT_EQ(text, "0");
  EXPECT_TRUE(form.ClearsRecords(true));
  EXPECT_FALSE(form.ClearsRecords(false));
}

}  // namespace
}  // namespace kestrum::ui
