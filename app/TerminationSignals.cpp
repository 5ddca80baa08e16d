#include "app/TerminationSignals.h"

#include <QSocketNotifier>

#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};
constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};

extern "C" void NoteSignal(int /*signal*/) {
  const char byte = 1;
  // Nothing to do if the pipe is full: a close is already on its way.
  (void)!::write(signalPipe[1], &byte, 1);
}

}  // namespace

TerminationSignals::TerminationSignals(std::function<void()> onSignal, QObject* parent)
    : QObject(parent), onSignal_(std::move(onSignal)) {
  if (::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  notifier_ = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::Drain);
  struct sigaction action {};
  action.sa_handler = NoteSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal : kSignals) ::sigaction(signal, &action, nullptr);
}

TerminationSignals::~TerminationSignals() {
  if (notifier_ == nullptr) return;
  for (const int signal : kSignals) std::signal(signal, SIG_DFL);
  ::close(signalPipe[0]);
  ::close(signalPipe[1]);
  signalPipe[0] = signalPipe[1] = -1;
}

void TerminationSignals::Drain() {
  char bytes[16];
  while (::read(signalPipe[0], bytes, sizeof bytes) > 0) {
  }
  if (closeAsked_) return;
  closeAsked_ = true;
  onSignal_();
}
