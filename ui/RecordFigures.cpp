#include "ui/RecordFigures.h"

#include "engine/SimulationState.h"
#include "store/GeneralFormat5.h"
#include "store/TextForms.h"

namespace kestrum::ui {

double TenhoPercentage(Count64 tenhoCnt, Count64 totalCnt) {
  if (totalCnt == 0) return 0.0;
  return static_cast<double>(tenhoCnt) * 100.0 / static_cast<double>(totalCnt);
}

RecordTexts RecordFiguresOf(const SimulationState& state) {
  RecordTexts texts;
  texts[kTotalRow] = CountText(state.totalCnt);
  texts[kTenhoRow] = CountText(state.tenhoCnt);
  texts[kProbabilityRow] = GeneralFormat5(TenhoPercentage(state.tenhoCnt, state.totalCnt));
  texts[kShortestRow] = CountText(state.minTenhoCnt);
  texts[kLongestRow] = CountText(state.maxTenhoCnt);
  return texts;
}

RecordTexts RecordForm::Clear() {
  cleared_ = true;
  RecordTexts texts;
  texts.fill("0");
  return texts;
}

}  // namespace kestrum::ui
