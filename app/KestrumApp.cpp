#include "app/KestrumApp.h"

#include <QAction>

#include "app/KestrumDoc.h"
#include "app/KestrumView.h"
#include "app/MainFrame.h"
#include "app/TerminationSignals.h"
#include "dialogs/AboutDlg.h"
#include "platform/InstanceGuard.h"
#include "platform/QtMessageFilter.h"

#include <cstdio>

namespace {

// Qt's X11 backing store hands each repaint to the X server in shared
// memory and, before it paints again, waits for the server to be done with
// it: a round trip and a few thread wake-ups for every repaint. For a
// picture of 280 x 42 sending the pixels down the socket is cheaper; at a
// hundred repaints a second it takes the program's context switches from
// about four a game to one and a half. A value set by the user is kept.
// Set here because Qt reads it when the application object connects.
int& WithPlatformSettings(int& argc) {
  if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", "1");
  return argc;
}

}  // namespace

CKestrumApp::CKestrumApp(int& argc, char** argv) : QApplication(WithPlatformSettings(argc), argv) {
  // The settings root: QSettings keeps the settings and records under
  // "Local AppWizard-Generated Applications/kestrum".
  setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  setApplicationName(QStringLiteral("kestrum"));
  // No display name on purpose: once one is set, Qt appends it to every
  // window title that differs from it ("Kestrum-[実行中]- — Kestrum").
  setApplicationVersion(QStringLiteral("1.11"));
  setDesktopFileName(QStringLiteral("kestrum"));
  // The frame's close ends the loop after the frame and the view have been
  // destroyed by Run, not by Qt.
  setQuitOnLastWindowClosed(true);
  // The view has an X window of its own to draw itself in, and so, since
  // Qt gives one to every ancestor of such a widget, has the edge around
  // it; the menu bar beside them keeps being painted in the frame's window.
  setAttribute(Qt::AA_DontCreateNativeWidgetSiblings, true);
}

CKestrumApp::~CKestrumApp() = default;

bool CKestrumApp::InitInstance() {
  // Here rather than in the constructor: main's display check has its own
  // message handler until the application object stands.
  kestrum::QuietQtModuleMessages();
  guard_ = std::make_unique<kestrum::InstanceGuard>();
  // Another instance: end here, before any window, store, log or status
  // block is touched. Two instances on one store lose the games of
  // whichever saves first, so a guard that cannot be checked ends this
  // one too, and says why.
  switch (guard_->Acquire()) {
    case kestrum::InstanceGuard::Outcome::kAcquired:
      break;
    case kestrum::InstanceGuard::Outcome::kHeldElsewhere:
      return false;
    case kestrum::InstanceGuard::Outcome::kUnavailable:
      std::fprintf(stderr, "kestrum: the single-instance guard cannot be checked (%s); not starting\n",
                   guard_->Problem().c_str());
      exitCode_ = 1;
      return false;
  }

  doc_ = std::make_unique<CKestrumDoc>();
  frame_ = std::make_unique<CMainFrame>();
  connect(frame_->CommandAction(ID_APP_ABOUT), &QAction::triggered, this, &CKestrumApp::OnAppAbout);
  if (!doc_->OnNewDocument()) return false;
  frame_->View()->OnUpdate();
  frame_->show();
  signals_ = std::make_unique<TerminationSignals>([this] {
    if (frame_) frame_->close();
  });
  return true;
}

int CKestrumApp::ExitInstance(int loopResult) {
  // The frame and with it the view go first: the view's destruction closes
  // the status block and saves the settings and records. A logout sends
  // TERM and then HUP within milliseconds, so the signals stay caught (and
  // a close already asked for makes any further one a no-op) until that
  // save and the guard's release are done; only then are the defaults back.
  frame_.reset();
  doc_.reset();
  if (guard_) guard_->Release();
  signals_.reset();
  return loopResult;
}

int CKestrumApp::Run() {
  if (!InitInstance()) return ExitInstance(exitCode_);
  return ExitInstance(exec());
}

void CKestrumApp::OnAppAbout() {
  CAboutDlg dlg(frame_.get());
  dlg.exec();
}
