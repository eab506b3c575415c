#pragma once
// What the engine's runs share.

#include "update/VudIvazoz.h"

namespace vyn {

// The process's current folder becomes the executable's; a folder that cannot be entered
// leaves it where it was.
void ChangeToExecutableDir();

// Runs the steps of a run that follow StartConnection; when one throws, the connection is
// closed before the exception goes on, so no run is left in progress.
template <typename Steps>
auto WithConnectionClosedOnThrow(TVudIvazoz& engine, Steps steps) -> decltype(steps()) {
  try {
    return steps();
  } catch (...) {
    engine.StopConnection();
    throw;
  }
}

}  // namespace vyn
