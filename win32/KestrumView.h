#pragma once
// The main view on Win32: a child window filling the frame, with its own
// sunken edge. It owns the simulation run and its ports (the status block
// mapping, the log file, the registry store), is the window system for the
// run through ViewHost, is the target of the simulator's commands, and paints
// the hand and the count with BitBlt from the two sheets.

#include <windows.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "engine/SimulationRun.h"
#include "store/SettingsStore.h"
#include "store/TenhouLogFile.h"
#include "ui/ViewLayout.h"
#include "win32/MappedStatusBlock.h"
#include "win32/RegistryProfile.h"
#include "win32/ViewHost.h"

#include "win32/WindowObject.h"

namespace kestrum::win32 {

class KestrumView {
 public:
  static constexpr const wchar_t* kClassName = L"KestrumView";

  static bool Register(HINSTANCE instance);
  // Creates the view window inside the frame; the window's creation builds
  // the run (status block, log, settings and records). Null on failure. The
  // object lives until its window is destroyed, whose destruction closes the
  // status block and saves the settings and records.
  static KestrumView* Create(HINSTANCE instance, HWND frame);

  HWND Window() const { return window_; }
  const SimulationState& State() const { return run_->State(); }

  // The first update after start-up: the autostart.
  void OnUpdate() { run_->OnUpdate(); }
  void OnActivateView(bool active) { run_->OnActivateView(active); }
  bool OnUpdateStart() const { return run_->OnUpdateStart(); }
  bool OnUpdateTenhouRecord() const;
  // A command of the simulator's menu or keys; false when it is none of the view's.
  bool OnCommand(int id);

 private:
  KestrumView(HINSTANCE instance, HWND window, HWND frame);
  ~KestrumView();

  friend LRESULT CALLBACK WindowObjectProcedure<KestrumView>(HWND, UINT, WPARAM, LPARAM);
  static KestrumView* Make(const CREATESTRUCTW& creation, HWND window);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

  void OnStart();
  void OnSettings();
  void OnRecord();
  void OnTenhouRecord();
  void OnPaint();
  void FitFrameToPicture();
  void DrawPicture(HDC target);

  HINSTANCE instance_;
  HWND window_;
  HWND frame_;
  MappedStatusBlock statusBlock_;
  TenhouLogFile tenhouLog_;
  RegistryProfile profile_;
  SettingsStore store_;
  ViewHost host_;
  std::unique_ptr<SimulationRun> run_;
  HBITMAP tileBitmap_ = nullptr;
  HBITMAP digitBitmap_ = nullptr;
  bool firstPaint_ = true;
};

}  // namespace kestrum::win32
