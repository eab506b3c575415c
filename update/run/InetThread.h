#pragma once
// The worker of a threaded run: one DoUpdate, then its termination handler.

#include <functional>
#include <string>

namespace vyn {

class TVudIvazoz;

class TInetThread {
public:
  TInetThread(TVudIvazoz& AVudIvazoz, bool InitPath);

  // Called on the worker when the run has ended, with the text of an exception that left it
  // ("" when none did).
  std::function<void(const std::string& failure)> OnTerminate;

  // The thread's body.
  void Execute();

private:
  TVudIvazoz& FVudIvazoz;  // not owned
  bool FInitPath;
};

}  // namespace vyn
