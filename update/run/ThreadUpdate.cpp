#include <memory>

#include "update/VudIvazoz.h"
#include "update/run/InetThread.h"

namespace vyn {

void TVudIvazoz::DoThreadUpdate(bool InitPath) {
  // One worker at a time: a second call while a run is on would share its state.
  if (FThreaded.exchange(true)) return;
  if (FThread.joinable()) FThread.join();

  TInetThread worker(*this, InitPath);
  const std::weak_ptr<int> alive = FAliveToken;
  worker.OnTerminate = [this, alive](const std::string& failure) {
    UserInterface().PostToUiThread([this, alive, failure] {
      if (alive.expired()) return;
      if (!failure.empty())
        UserInterface().MessageBox(failure, "", TMessageKind::mkError, TMessageButtons::mbOK);
      ThreadDone();
    });
  };
  FThread = std::thread([worker = std::move(worker)]() mutable { worker.Execute(); });
}

void TVudIvazoz::ThreadDone() {
  if (OnThreadUpdateDone) OnThreadUpdateDone(*this);
  FThreaded = false;
  LogStatus(960, "", 0, 0);
  if (AppNeedsRestart()) {
    LogStatus(961, "", 0, 0);
    DoRestart();
  }
}

}  // namespace vyn
