#include "update/run/RunSteps.h"

#include <unistd.h>

#include "platform/Folders.h"

namespace vyn {

void ChangeToExecutableDir() {
  if (chdir(ExeDir().c_str()) != 0) return;
}

}  // namespace vyn
