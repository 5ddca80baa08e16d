#pragma once
// A private place for the widget tests: a temporary home with its own
// configuration, runtime directory and working directory, a status block
// name of the test's own, and helpers to put values into the store and
// entries into the log before a window is built.

#include <filesystem>
#include <map>
#include <string>

#include "app/ViewPlaces.h"

namespace apptest {

// Moves the process into a fresh temporary directory and points
// XDG_CONFIG_HOME and XDG_RUNTIME_DIR into it. Call before QApplication.
std::filesystem::path EnterPrivatePlace();
void LeavePrivatePlace(const std::filesystem::path& place);

// A fresh log file and status block name for one window.
ViewPlaces FreshPlaces();

// Writes all twelve stored values: the program's defaults, with the sound
// off, changed by the given entries (e.g. {"SPEED", "10"}).
void PresetStore(const std::map<std::string, std::string>& values);
std::string StoredValue(const std::string& entry);

// Appends one heavenly-hand entry to the log file.
void AppendLogEntry(const std::filesystem::path& logFile);

}  // namespace apptest
