#include "updater/RunAndWait.h"

#include "platform/Process.h"

namespace vyn {

void RunAndWait(const std::vector<std::string>& argv, int stdOut) {
  const TProcessResult started = SpawnChild(argv, stdOut);
  int exitCode = -1;
  if (started.Started) CollectChild(started.Pid, -1, exitCode);
}

}  // namespace vyn
