#pragma once
// What the heavenly-hand log browser decides, whatever draws it: the
// slider's range, which entry of the table each position shows (position 0
// the newest, numbered 1) and the texts of that entry's labels. It only
// reads the table.
//
// While the browser is open games go on and the run may append entries.
// The range stays as it was set at opening, but each slider notification
// counts back from the newest entry as the table stands then: after an
// append, position 0 shows the new entry. Nothing else follows the table, so
// what is shown stays until the slider is next used.

#include <array>
#include <string>
#include <string_view>

namespace kestrum {
struct TenhouLogTable;
}

namespace kestrum::ui {

// The value labels, in the order they are filled.
enum LogField : int {
  kNumberField,
  kStartField,
  kEndField,
  kRunField,
  kTotalField,
  kTenhoField,
  kProbabilityField,
  kShortestField,
  kLongestField,
  kHandField,  // the hand's notation, kept in a hidden label: the hand is drawn as pictures
  kLogFieldCount
};

// One label's text in Shift_JIS: the entry's bytes as they stand, then a
// space and the unit where the label has one. Kept apart, so that a
// damaged value cannot swallow its unit when the bytes are decoded.
struct LogLabelText {
  std::string value;
  std::string_view unit;
};

using LogEntryTexts = std::array<LogLabelText, kLogFieldCount>;

class LogBrowser {
 public:
  explicit LogBrowser(const TenhouLogTable& table);

  // Entries the table holds now, 0..1000.
  int CurrentCount() const;
  // Whether the browser opened on an entry; an empty table shows the
  // template's texts and ignores the slider.
  bool HasEntry() const { return selectedIndex_ >= 0; }
  // The slider's last position, set once at opening.
  int SliderMaximum() const { return sliderMaximum_; }
  // Index in the table of the entry shown; -1 while none is.
  int SelectedIndex() const { return selectedIndex_; }

  // The slider was moved by a person to the position; false when nothing
  // changes (an empty table).
  bool SliderMoved(int position);

  // The labels of the selected entry; call only while HasEntry().
  LogEntryTexts Texts() const;
  const std::string& HandText() const;

 private:
  const TenhouLogTable& table_;
  int selectedIndex_ = -1;
  int sliderMaximum_ = 0;
  int shownCount_ = 0;  // the entry count the number label was computed from
};

}  // namespace kestrum::ui
