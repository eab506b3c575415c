#include "update/cli/SignalCancel.h"

#include <signal.h>

namespace vyn::cli {

namespace {
volatile sig_atomic_t caughtSignal = 0;

void Catch(int signal) { caughtSignal = signal; }

void SetAction(void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}
}  // namespace

TSignalCancel::TSignalCancel(TVudIvazoz& engine) : FEngine(engine) {
  caughtSignal = 0;
  SetAction(Catch);
  FEngine.SetUserInterface(this);
}

TSignalCancel::~TSignalCancel() {
  FEngine.SetUserInterface(nullptr);
  SetAction(SIG_DFL);
}

void TSignalCancel::ProcessPendingEvents() {
  if (caughtSignal != 0) FEngine.Cancel();
}

void TSignalCancel::EndBySignal() {
  const int signal = caughtSignal;
  if (signal == 0) return;
  SetAction(SIG_DFL);
  raise(signal);
}

}  // namespace vyn::cli
