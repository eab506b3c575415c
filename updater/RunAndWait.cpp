#include "updater/RunAndWait.h"

#include "platform/Process.h"

namespace vyn {

bool RunAndWait(const std::vector<std::string>& argv, int stdOut) {
  const TProcessResult started = SpawnChild(argv, stdOut);
  int exitCode = -1;
  return started.Started && CollectChild(started.Pid, -1, exitCode) && exitCode == 0;
}

}  // namespace vyn
