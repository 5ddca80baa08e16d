#pragma once
// The main view: it owns the simulation run and is the window system for
// it (timers, title, flash, repaint, sound), the target of the simulator's
// menu commands, and the painter of the hand and the count.

#include <array>
#include <memory>

#include <QBasicTimer>
#include <QWidget>

#include "app/ViewPicture.h"
#include "app/ViewPlaces.h"
#include "engine/RunPorts.h"
#include "platform/WindowFlash.h"

namespace kestrum {
struct PictureSheets;
class SimulationRun;
class TenhouSound;
struct SimulationState;
}  // namespace kestrum
class ServerViewPicture;
struct ViewPorts;

class CKestrumView final : public QWidget, private kestrum::RunHost {
  Q_OBJECT

 public:
  static constexpr int kClientWidth = 280;
  static constexpr int kClientHeight = 42;

  // Builds the status block, reads the log and loads the settings and
  // records (through the run's construction).
  explicit CKestrumView(const ViewPlaces& places = {}, QWidget* parent = nullptr);
  // Closes the status block and saves the settings and records.
  ~CKestrumView() override;

  const kestrum::SimulationState& State() const;

  // The first update after start-up: the autostart.
  void OnUpdate();
  void OnActivateView(bool active);

  // Whether each command may be carried out now; the frame enables the
  // menu items and keys from these, and each command checks again itself.
  bool OnUpdateStart() const;
  bool OnUpdateTenhouRecord() const;

  void OnStart();
  void OnSettings();
  void OnRecord();
  void OnTenhouRecord();
  void OnHomePage();

 Q_SIGNALS:
  // Start's or the log command's availability has changed.
  void commandStatesChanged();

 protected:
  QPaintEngine* paintEngine() const override;
  void paintEvent(QPaintEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  void SetTimer(kestrum::TimerId id, int periodMs) override;
  void KillTimer(kestrum::TimerId id) override;
  void SetMainTitle(std::string_view title) override;
  void FlashMainWindow(bool invert) override;
  void InvalidateView() override;
  void PlayTenhouWave() override;
  std::time_t Now() override;

  QBasicTimer& TimerOf(kestrum::TimerId id);
  void NoteCommandStates();
  void PaintIfDue();
  PictureContent ShownContent() const;
  void PaintThroughQt(const kestrum::PictureSheets& sheets, const PictureContent& content, QColor ground);
  void UseServerPicture(bool use);

  std::unique_ptr<ViewPorts> ports_;
  std::unique_ptr<kestrum::TenhouSound> sound_;
  std::array<QBasicTimer, 3> timers_;
  std::unique_ptr<kestrum::SimulationRun> run_;
  ViewPicture picture_;
  // The picture in the screen's own pixels, where its ratio is no sheet
  // scale, and the picture it was made from.
  QImage screenPicture_;
  qint64 screenPictureSource_ = 0;
  // Where Qt runs on an X server the view draws itself there (see
  // paintEvent); null elsewhere, and after the server failed to.
  std::unique_ptr<ServerViewPicture> serverPicture_;
  bool paintsOnServer_ = false;
  kestrum::WindowFlash flash_;
  bool inTick_ = false;      // a timer tick of the run is being handled
  bool repaintDue_ = false;  // the tick asked for a repaint
  bool startWasAvailable_ = true;
  bool logWasAvailable_ = false;
};
