#include "store/SettingsStore.h"

#include "engine/SimulationState.h"
#include "store/ProfileBackend.h"
#include "store/StoredValues.h"
#include "store/TextForms.h"

namespace kestrum {

namespace {

// The state's field behind each row of kStoredValues, by row index; S is
// SimulationState, const or not.
template <typename S>
auto CountField(S& s, std::size_t row) -> decltype(&s.totalCnt) {
  switch (row) {
    case 0: return &s.totalCnt;
    case 1: return &s.tenhoCnt;
    case 2: return &s.maxTenhoCnt;
    case 3: return &s.minTenhoCnt;
    case 4: return &s.accumulationCnt;
    default: return nullptr;
  }
}

template <typename S>
auto NumberField(S& s, std::size_t row) -> decltype(&s.speed) {
  switch (row) {
    case 5: return &s.speed;
    case 6: return &s.interval;
    default: return nullptr;
  }
}

template <typename S>
auto FlagField(S& s, std::size_t row) -> decltype(&s.sound) {
  switch (row) {
    case 7: return &s.continueRun;
    case 8: return &s.logFile;
    case 9: return &s.sound;
    case 10: return &s.autoStart;
    case 11: return &s.accumulation;
    default: return nullptr;
  }
}

void AssignField(SimulationState& state, std::size_t row, std::string_view text) {
  switch (kStoredValues[row].form) {
    case TextForm::Count: *CountField(state, row) = ParseCount64(text); break;
    case TextForm::Number: *NumberField(state, row) = ParseNumber32(text); break;
    case TextForm::Flag: *FlagField(state, row) = ParseFlag(text); break;
  }
}

std::string FieldText(const SimulationState& state, std::size_t row) {
  switch (kStoredValues[row].form) {
    case TextForm::Count: return CountText(*CountField(state, row));
    case TextForm::Number: return NumberText(*NumberField(state, row));
    case TextForm::Flag: return FlagText(*FlagField(state, row));
  }
  return {};
}

}  // namespace

SettingsStore::SettingsStore(ProfileBackend& profile) : profile_(profile) {}

void SettingsStore::LoadSettingsAndRecords(SimulationState& state) {
  for (std::size_t row = 0; row < kStoredValues.size(); ++row) {
    const StoredValue& value = kStoredValues[row];
    AssignField(state, row, profile_.GetProfileString(value.section, value.name, value.defaultText));
  }
}

void SettingsStore::SaveSettingsAndRecords(const SimulationState& state) {
  for (std::size_t row = 0; row < kStoredValues.size(); ++row) {
    const StoredValue& value = kStoredValues[row];
    profile_.WriteProfileString(value.section, value.name, FieldText(state, row));
  }
  lastSaveSucceeded_ = profile_.Commit();
}

}  // namespace kestrum
