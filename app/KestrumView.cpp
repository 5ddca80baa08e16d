#include "app/KestrumView.h"

#include <QPainter>
#include <QTimerEvent>

#include <algorithm>
#include <ctime>

#include "app/ServerViewPicture.h"
#include "app/ViewPorts.h"
#include "dialogs/HomePage.h"
#include "dialogs/PictureSheets.h"
#include "dialogs/RecordDlg.h"
#include "dialogs/SettingsDlg.h"
#include "dialogs/TenhouRecordDlg.h"
#include "engine/SimulationRun.h"
#include "engine/SimulationState.h"
#include "platform/TenhouSound.h"
#include "store/TenhouLogTable.h"

namespace {

// The fastest game period the settings offer. A stored period below it (0 or
// negative from a hand-edited store) would make the game timer spin or be
// refused; it runs at the fastest offered speed instead.
constexpr int kShortestTimerPeriodMs = 10;

}  // namespace

CKestrumView::CKestrumView(const ViewPlaces& places, QWidget* parent)
    : QWidget(parent),
      ports_(std::make_unique<ViewPorts>(places)),
      run_(std::make_unique<kestrum::SimulationRun>(
          kestrum::RunPorts{*this, ports_->statusBlock, ports_->tenhouLog, ports_->store})) {
  setFixedSize(kClientWidth, kClientHeight);
  // The view's ground is the colour behind a document's text (white in the
  // usual palettes), the colour the sheets' own grounds are drawn in. The
  // picture covers the whole view, ground included, so nothing is erased
  // before it is painted.
  setBackgroundRole(QPalette::Base);
  setAttribute(Qt::WA_OpaquePaintEvent, true);
  if (kestrum::ServerPicture::PlatformHasServer()) {
    // A window of its own, which Qt leaves to the view to paint; its
    // siblings stay without one (the application says so).
    setAttribute(Qt::WA_NativeWindow, true);
    serverPicture_ = std::make_unique<ServerViewPicture>();
    UseServerPicture(true);
  }
  startWasAvailable_ = OnUpdateStart();
  logWasAvailable_ = OnUpdateTenhouRecord();
}

// The run goes first: its destruction closes the block and saves through the
// ports, which must still be there.
CKestrumView::~CKestrumView() {
  for (auto& timer : timers_) timer.stop();
  run_.reset();
}

const kestrum::SimulationState& CKestrumView::State() const { return run_->State(); }

void CKestrumView::OnUpdate() {
  run_->OnUpdate();
  NoteCommandStates();
}

void CKestrumView::OnActivateView(bool active) { run_->OnActivateView(active); }

bool CKestrumView::OnUpdateStart() const { return run_->OnUpdateStart(); }

bool CKestrumView::OnUpdateTenhouRecord() const { return kestrum::TheTenhouLogTable().entryCount != 0; }

void CKestrumView::OnStart() {
  if (!OnUpdateStart()) return;
  run_->StartRun();
  NoteCommandStates();
}

void CKestrumView::OnSettings() {
  CSettingsDlg dlg(kestrum::SettingsOf(run_->State()), window());
  if (dlg.exec() == QDialog::Accepted) run_->AcceptSettings(dlg.settings());
  NoteCommandStates();
}

void CKestrumView::OnRecord() {
  CRecordDlg dlg(run_->State(), window());
  if (dlg.exec() == QDialog::Accepted && dlg.cleared()) run_->ClearRecords();
  NoteCommandStates();
}

void CKestrumView::OnTenhouRecord() {
  if (!OnUpdateTenhouRecord()) return;
  CTenhouRecordDlg dlg(kestrum::TheTenhouLogTable(), window());
  dlg.exec();
  NoteCommandStates();
}

void CKestrumView::OnHomePage() { OpenHomePage(); }

// Called after everything that can change a run's state or the log table;
// the frame hears of it only when an availability actually changed, which
// is rare against a hundred games a second.
void CKestrumView::NoteCommandStates() {
  const bool start = OnUpdateStart();
  const bool log = OnUpdateTenhouRecord();
  if (start == startWasAvailable_ && log == logWasAvailable_) return;
  startWasAvailable_ = start;
  logWasAvailable_ = log;
  Q_EMIT commandStatesChanged();
}

// Qt asks a widget that paints on screen for a paint engine of its own;
// while the view draws itself on the X server there is none.
QPaintEngine* CKestrumView::paintEngine() const { return paintsOnServer_ ? nullptr : QWidget::paintEngine(); }

void CKestrumView::UseServerPicture(bool use) {
  qCDebug(lcView) << (use ? "drawn on the X server" : "painted through Qt");
  paintsOnServer_ = use;
  setAttribute(Qt::WA_PaintOnScreen, use);
  setAttribute(Qt::WA_NoSystemBackground, use);
}

PictureContent CKestrumView::ShownContent() const {
  const kestrum::SimulationState& state = run_->State();
  return {state.hand, state.sinceCnt, state.lastWasTenhou, state.tileWidth, state.tileHeight};
}

// Drawn on the X server, a frame is one copy between pixmaps there and no
// pixels through the socket; through Qt's backing store it is the whole
// picture sent up and copied again, which at a hundred frames a second is
// most of what the window costs. The server draws the sheets' own pixels
// only where the device pixel ratio is a sheet scale (1 or 2); at a ratio
// in between, or once the server could not draw, Qt paints. A change of way
// takes effect at the next paint: while the view paints itself Qt offers no
// painter for it.
void CKestrumView::paintEvent(QPaintEvent* /*event*/) {
  const qreal ratio = devicePixelRatioF();
  const kestrum::PictureSheets& sheets = kestrum::PictureSheets::OfScale(kestrum::PictureSheets::ScaleForRatio(ratio));
  const PictureContent content = ShownContent();
  const QColor ground = palette().color(QPalette::Base);
  if (paintsOnServer_ && ratio == sheets.scale && serverPicture_ != nullptr) {
    if (serverPicture_->Show(static_cast<std::uint32_t>(winId()), sheets, content, ground)) return;
    qCDebug(lcView) << "the X server cannot show the picture exactly";
    serverPicture_.reset();
  }
  const bool onServer = serverPicture_ != nullptr && ratio == sheets.scale;
  if (onServer != paintsOnServer_) {
    UseServerPicture(onServer);
    update();
    return;
  }
  PaintThroughQt(sheets, content, ground);
}

// The picture is one cached image at the scale of the sheets that suit the
// screen: at 1x and 2x it is copied pixel for pixel. At ratios in between
// the 2x picture is brought to the screen's pixels once per change, by
// averaging the pixels each screen pixel covers, and then copied pixel for
// pixel too: drawn smaller through the painter it would be sampled between
// pixels, sharp in some columns and blurred in the next.
void CKestrumView::PaintThroughQt(const kestrum::PictureSheets& sheets, const PictureContent& content, QColor ground) {
  picture_.Update(sheets, content, ground);
  const qreal ratio = devicePixelRatioF();
  QPainter painter(this);
  if (ratio == sheets.scale) {
    painter.drawImage(QPoint(0, 0), picture_.Image());
    return;
  }
  const QImage& picture = picture_.Image();
  const QSize screenSize = (QSizeF(width(), height()) * ratio).toSize();
  if (picture.cacheKey() != screenPictureSource_ || screenPicture_.size() != screenSize) {
    screenPicture_ = picture.scaled(screenSize, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    screenPicture_.setDevicePixelRatio(ratio);
    screenPictureSource_ = picture.cacheKey();
  }
  painter.drawImage(QPoint(0, 0), screenPicture_);
}

void CKestrumView::timerEvent(QTimerEvent* event) {
  for (int id = kestrum::TIMER_GAME; id <= kestrum::TIMER_TITLE; ++id) {
    if (timers_[static_cast<std::size_t>(id - 1)].timerId() == event->timerId()) {
      inTick_ = true;
      run_->OnTimer(id);
      inTick_ = false;
      if (id == kestrum::TIMER_GAME) NoteCommandStates();
      PaintIfDue();
      return;
    }
  }
  QWidget::timerEvent(event);
}

// A repaint the game asked for is done when its tick is over, as a
// deferred one would be (it shows the counts as the game left them), but
// at once: at a hundred games a second, passing each one through the event
// queue costs a round of the event loop per game.
void CKestrumView::PaintIfDue() {
  if (!repaintDue_) return;
  repaintDue_ = false;
  repaint();
}

QBasicTimer& CKestrumView::TimerOf(kestrum::TimerId id) { return timers_[static_cast<std::size_t>(id - 1)]; }

void CKestrumView::SetTimer(kestrum::TimerId id, int periodMs) {
  // The game timer keeps its period closely so that the fastest speed
  // really plays a hundred games a second; the once-a-second ones may be
  // bunched with other wake-ups.
  const Qt::TimerType type = id == kestrum::TIMER_GAME ? Qt::PreciseTimer : Qt::CoarseTimer;
  TimerOf(id).start(std::max(periodMs, kShortestTimerPeriodMs), type, this);
}

void CKestrumView::KillTimer(kestrum::TimerId id) { TimerOf(id).stop(); }

void CKestrumView::SetMainTitle(std::string_view title) {
  window()->setWindowTitle(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
}

void CKestrumView::FlashMainWindow(bool invert) { flash_.Flash(window()->windowHandle(), invert); }

void CKestrumView::InvalidateView() {
  if (inTick_) {
    repaintDue_ = true;
  } else {
    update();
  }
}

// The sound is made at the first chime, not at start-up: opening the audio
// output costs time and, on a machine without a device, a warning on every
// start even with the sound switched off.
void CKestrumView::PlayTenhouWave() {
  if (!sound_) sound_ = std::make_unique<kestrum::TenhouSound>();
  sound_->Play();
}

std::time_t CKestrumView::Now() { return std::time(nullptr); }
