#pragma once
// SIGINT and SIGTERM end a check cleanly: the transfer in progress is cancelled (its temporary
// file goes with it), the connection is closed, and the program then ends by the same signal.

#include "update/UserInterface.h"
#include "update/VudIvazoz.h"

namespace vyn::cli {

// The engine's user interface for the command line: silent, and it turns a caught signal into
// the engine's Cancel.
class TSignalCancel : public TSilentUserInterface {
public:
  // Catches both signals until destroyed.
  explicit TSignalCancel(TVudIvazoz& engine);
  ~TSignalCancel() override;
  TSignalCancel(const TSignalCancel&) = delete;
  TSignalCancel& operator=(const TSignalCancel&) = delete;

  void ProcessPendingEvents() override;

  // Ends the process by the caught signal, with its default action; returns when none came.
  void EndBySignal();

private:
  TVudIvazoz& FEngine;
};

}  // namespace vyn::cli
