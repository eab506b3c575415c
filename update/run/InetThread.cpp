#include "update/run/InetThread.h"

#include <exception>

#include "update/VudIvazoz.h"

namespace vyn {

TInetThread::TInetThread(TVudIvazoz& AVudIvazoz, bool InitPath)
    : FVudIvazoz(AVudIvazoz), FInitPath(InitPath) {}

void TInetThread::Execute() {
  std::string failure;
  // An exception must not leave a thread's body: it would end the whole program.
  try {
    FVudIvazoz.DoUpdate(FInitPath);
  } catch (const std::exception& e) {
    failure = e.what();
  } catch (...) {
    failure = "Unknown error in the threaded update";
  }
  if (OnTerminate) OnTerminate(failure);
}

}  // namespace vyn
