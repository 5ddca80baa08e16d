#pragma once
// Turns SIGTERM, SIGINT and SIGHUP (a session that logs out, a terminal that
// closes, a plain `kill`) into a normal close of the main window, so that
// the games counted since the last save reach the store as with the close
// box. The handler only writes a byte to a pipe; the close runs on the
// user-interface thread when the loop sees it. The first signal asks for the
// close; later ones (a logout sends TERM, then HUP) are caught and dropped,
// and stay so until this object ends, which the program does only after
// the exit save: a default action in between would kill the save.

#include <functional>

#include <QObject>

class QSocketNotifier;

class TerminationSignals final : public QObject {
  Q_OBJECT

 public:
  explicit TerminationSignals(std::function<void()> onSignal, QObject* parent = nullptr);
  ~TerminationSignals() override;

 private:
  void Drain();

  std::function<void()> onSignal_;
  bool closeAsked_ = false;
  QSocketNotifier* notifier_ = nullptr;
};
