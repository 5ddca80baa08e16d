#pragma once
// The four modal dialogs of the main window, each from its template in the
// .rc file, and the home-page action. While one is open its modal loop goes
// on dispatching the view's timers, so the run goes on behind it.

#include <windows.h>

#include <optional>

#include "engine/SimulationState.h"

namespace kestrum {
struct TenhouLogTable;
}

namespace kestrum::win32 {

// The settings as OK left them; nothing after Cancel, Escape or the close box.
std::optional<Settings> RunSettingsDialog(HINSTANCE instance, HWND owner, const Settings& initial);
// True when the records are to be cleared: the clear button, then OK.
bool RunRecordDialog(HINSTANCE instance, HWND owner, const SimulationState& state);
void RunTenhouRecordDialog(HINSTANCE instance, HWND owner, const TenhouLogTable& table);
void RunAboutDialog(HINSTANCE instance, HWND owner);
// Opens the home page with the shell's default action; a failure is silent.
void OpenHomePage();

}  // namespace kestrum::win32
