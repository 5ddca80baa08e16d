#include "ui/LogBrowser.h"

#include <algorithm>

#include "store/TenhouLogTable.h"

namespace kestrum::ui {

namespace {

// Shift_JIS units after a space: 局 (games), 回 (times), the full-width ％.
constexpr std::string_view kGamesUnit = " \x8B\xC7";
constexpr std::string_view kTimesUnit = " \x89\xF1";
constexpr std::string_view kPercentUnit = " \x81\x93";

}  // namespace

LogBrowser::LogBrowser(const TenhouLogTable& table) : table_(table) {
  const int count = CurrentCount();
  if (count <= 0) return;
  sliderMaximum_ = count - 1;
  selectedIndex_ = count - 1;
  shownCount_ = count;
}

int LogBrowser::CurrentCount() const { return std::clamp(table_.entryCount, 0, TenhouLogTable::kCapacity); }

bool LogBrowser::SliderMoved(int position) {
  const int count = CurrentCount();
  if (count <= 0) return false;
  selectedIndex_ = std::clamp(count - position - 1, 0, count - 1);
  shownCount_ = count;
  return true;
}

const std::string& LogBrowser::HandText() const {
  return table_.entries[static_cast<std::size_t>(selectedIndex_)].handText;
}

LogEntryTexts LogBrowser::Texts() const {
  const TenhouLogEntry& entry = table_.entries[static_cast<std::size_t>(selectedIndex_)];
  LogEntryTexts texts;
  texts[kNumberField] = {std::to_string(shownCount_ - selectedIndex_), {}};
  texts[kStartField] = {entry.startTime, {}};
  texts[kEndField] = {entry.endTime, {}};
  texts[kRunField] = {entry.runText, kGamesUnit};
  texts[kTotalField] = {entry.totalText, kGamesUnit};
  texts[kTenhoField] = {entry.tenhoText, kTimesUnit};
  texts[kProbabilityField] = {entry.probabilityText, kPercentUnit};
  texts[kShortestField] = {entry.shortestText, kGamesUnit};
  texts[kLongestField] = {entry.longestText, kGamesUnit};
  texts[kHandField] = {entry.handText, {}};
  return texts;
}

}  // namespace kestrum::ui
