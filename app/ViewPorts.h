#pragma once
// The real ports of the run: the shared-memory status block, the log file
// with the process-wide log table, and the settings store on the user's
// profile. Held together so that they are built before the run and outlive it.

#include "app/ViewPlaces.h"
#include "platform/QSettingsProfile.h"
#include "platform/SharedStatusBlock.h"
#include "store/SettingsStore.h"
#include "store/TenhouLogFile.h"

struct ViewPorts {
  explicit ViewPorts(const ViewPlaces& places);

  kestrum::SharedStatusBlock statusBlock;
  kestrum::TenhouLogFile tenhouLog;
  kestrum::QSettingsProfile profile;
  kestrum::SettingsStore store;
};
