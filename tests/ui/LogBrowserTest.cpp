#include "ui/LogBrowser.h"

#include <gtest/gtest.h>

#include <memory>

#include "store/TenhouLogTable.h"

namespace kestrum::ui {
namespace {

std::unique_ptr<TenhouLogTable> TableOf(int count) {
  auto table = std::make_unique<TenhouLogTable>();
  for (int i = 0; i < count; ++i) {
    TenhouLogEntry& entry = table->entries[static_cast<std::size_t>(i)];
    entry.runText = std::to_string(100 + i);
    entry.handText = "1m1m1m2m3m4m5m6m7m8m9m9m9m" + std::to_string(i % 10) + "m";
    entry.probabilityText = "3.0303e-004";
  }
  table->entryCount = count;
  return table;
}

TEST(LogBrowser, OpensOnTheNewestNumberedOneAndStepsBack) {
  const auto table = TableOf(3);
  LogBrowser browser(*table);
  ASSERT_TRUE(browser.HasEntry());
  EXPECT_EQ(browser.SliderMaximum(), 2);
  EXPECT_EQ(browser.SelectedIndex(), 2);
  EXPECT_EQ(browser.Texts()[kNumberField].value, "1");
  EXPECT_EQ(browser.Texts()[kRunField].value, "102");
  ASSERT_TRUE(browser.SliderMoved(1));
  EXPECT_EQ(browser.SelectedIndex(), 1);
  EXPECT_EQ(browser.Texts()[kNumberField].value, "2");
  ASSERT_TRUE(browser.SliderMoved(2));
  EXPECT_EQ(browser.SelectedIndex(), 0);
  EXPECT_EQ(browser.Texts()[kNumberField].value, "3");
  EXPECT_EQ(browser.HandText(), table->entries[0].handText);
}

TEST(LogBrowser, AnEntryAppendedWhileOpenIsPositionZeroAtTheNextMove) {
  const auto table = TableOf(2);
  LogBrowser browser(*table);
  table->entries[2].runText = "7";
  table->entryCount = 3;
  EXPECT_EQ(browser.SelectedIndex(), 1);  // nothing follows the table by itself
  EXPECT_EQ(browser.SliderMaximum(), 1);
  ASSERT_TRUE(browser.SliderMoved(0));
  EXPECT_EQ(browser.SelectedIndex(), 2);
  EXPECT_EQ(browser.Texts()[kRunField].value, "7");
  ASSERT_TRUE(browser.SliderMoved(1));
  EXPECT_EQ(browser.Texts()[kNumberField].value, "2");
}

TEST(LogBrowser, EmptyOrDamagedCountsShowNothingAndIgnoreTheSlider) {
  const auto table = TableOf(0);
  LogBrowser empty(*table);
  EXPECT_FALSE(empty.HasEntry());
  EXPECT_EQ(empty.SelectedIndex(), -1);
  EXPECT_FALSE(empty.SliderMoved(0));
  table->entryCount = -4;
  EXPECT_FALSE(LogBrowser(*table).HasEntry());
  const auto full = TableOf(TenhouLogTable::kCapacity);
  full->entryCount = TenhouLogTable::kCapacity + 5;
  LogBrowser browser(*full);
  EXPECT_EQ(browser.SelectedIndex(), TenhouLogTable::kCapacity - 1);
  ASSERT_TRUE(browser.SliderMoved(5000));
  EXPECT_EQ(browser.SelectedIndex(), 0);
  EXPECT_EQ(browser.Texts()[kNumberField].value, "1000");
}

TEST(LogBrowser, UnitsAreShiftJisAfterASpaceAndOnlyOnTheCounts) {
  const auto table = TableOf(1);
  const LogEntryTexts texts = LogBrowser(*table).Texts();
  EXPECT_EQ(texts[kRunField].unit, " \x8B\xC7");          // 局
  EXPECT_EQ(texts[kTenhoField].unit, " \x89\xF1");        // 回
  EXPECT_EQ(texts[kProbabilityField].unit, " \x81\x93");  // ％
  EXPECT_EQ(texts[kProbabilityField].value, "3.0303e-004");
  EXPECT_TRUE(texts[kStartField].unit.empty());
  EXPECT_TRUE(texts[kHandField].unit.empty());
  EXPECT_TRUE(texts[kNumberField].unit.empty());
}

}  // namespace
}  // namespace kestrum::ui
