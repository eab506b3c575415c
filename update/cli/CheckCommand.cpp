// vynupdate check ADDRESS: is a newer release described at ADDRESS?

#include <cstdio>

#include "update/cli/Commands.h"
#include "update/cli/SignalCancel.h"

namespace vyn::cli {

namespace {

int Finish(int result) {
  std::printf("%d %s\n", result, ResultName(result));
  std::fflush(stdout);
  return result == wrNoNewVersion ? KExitNothing : KExitDone;
}

int Check(TVudIvazoz& engine) {
  int result = engine.StartConnection();
  if (result != wrOK) {
    engine.StopConnection();
    Finish(result);
    return KExitError;
  }
  if (engine.UpdateType == ftpUpdate && engine.FTPConnect() != 0) {
    engine.Error();
    engine.StopConnection();
    Finish(wrCannotOpen);
    return KExitError;
  }
  result = engine.GetControlFile();
  if (result != wrOK) {
    engine.StopConnection();
    Finish(result);
    return KExitError;
  }
  result = engine.DoVersionCheck();
  engine.StopConnection();
  return Finish(result);
}

}  // namespace

void ReportSteps(TVudIvazoz& engine) {
  engine.OnNumberedStatus = [](TVudIvazoz&, int id, const std::string& text, int status,
                               int error) {
    std::fprintf(stderr, "[%d] %s (%d, %d)\n", id, text.c_str(), status, error);
  };
}

int CheckCommand(const TCommandOptions& options) {
  TVudIvazoz engine;
  ConfigureEngine(options, engine);
  ReportSteps(engine);
  TSignalCancel signals(engine);
  const int exitCode = Check(engine);
  signals.EndBySignal();
  return exitCode;
}

}  // namespace vyn::cli
