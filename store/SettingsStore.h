#pragma once
// Moves the seven settings and five lifetime counts between the simulation
// state and the per-user profile, as decimal text.

#include "engine/RunPorts.h"

namespace kestrum {

class ProfileBackend;

class SettingsStore final : public SettingsStorePort {
 public:
  explicit SettingsStore(ProfileBackend& profile);

  // Assigns all twelve fields, each from its stored text or its default.
  void LoadSettingsAndRecords(SimulationState& state) override;
  // Writes all twelve values, changed or not, and commits them. A failure is
  // not reported to the run; LastSaveSucceeded tells it to those who ask.
  void SaveSettingsAndRecords(const SimulationState& state) override;

  bool LastSaveSucceeded() const { return lastSaveSucceeded_; }

 private:
  ProfileBackend& profile_;
  bool lastSaveSucceeded_ = true;
};

}  // namespace kestrum
