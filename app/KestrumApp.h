#pragma once
// The application: sets the settings root, keeps the single-instance guard,
// creates the document, the frame and the view, and runs the message loop.

#include <memory>

#include <QApplication>

namespace kestrum {
class InstanceGuard;
}
class CKestrumDoc;
class CMainFrame;
class TerminationSignals;

class CKestrumApp final : public QApplication {
  Q_OBJECT

 public:
  CKestrumApp(int& argc, char** argv);
  ~CKestrumApp() override;

  // false when the program is to end at once: another instance runs, or
  // the window could not be made.
  bool InitInstance();
  // Releases the guard; the process's exit code.
  int ExitInstance(int loopResult);
  // InitInstance, the message loop while it succeeded, ExitInstance.
  int Run();

  CMainFrame* MainFrame() const { return frame_.get(); }

 private:
  void OnAppAbout();

  std::unique_ptr<kestrum::InstanceGuard> guard_;
  std::unique_ptr<CKestrumDoc> doc_;
  std::unique_ptr<CMainFrame> frame_;
  std::unique_ptr<TerminationSignals> signals_;
  int exitCode_ = 0;
};
