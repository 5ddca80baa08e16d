#pragma once
// What the record dialog shows and decides, whatever draws it: the five
// figures taken when it opens, the zeros its clear button shows, and whether
// closing it clears the records.

#include <array>
#include <string>

#include "engine/Tiles.h"

namespace kestrum {
struct SimulationState;
}

namespace kestrum::ui {

// Rows top to bottom.
enum RecordRow : int { kTotalRow, kTenhoRow, kProbabilityRow, kShortestRow, kLongestRow, kRecordRows };

using RecordTexts = std::array<std::string, kRecordRows>;

// Heavenly hands per hundred games; none played gives 0 without dividing.
double TenhoPercentage(Count64 tenhoCnt, Count64 totalCnt);

// Plain decimal counts and the percentage with five significant digits.
RecordTexts RecordFiguresOf(const SimulationState& state);

class RecordForm {
 public:
  // Only marks the dialog and gives the texts to show: a plain "0" in every
  // row, the probability's too, as it always has been.
  RecordTexts Clear();
  bool Cleared() const { return cleared_; }
  // The records go only when the dialog ends with OK after a clear.
  bool ClearsRecords(bool endedWithOk) const { return endedWithOk && cleared_; }

 private:
  bool cleared_ = false;
};

}  // namespace kestrum::ui
