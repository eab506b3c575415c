// vynupdate check ADDRESS [options]: is a newer release described at ADDRESS?

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "update/cli/CheckOptions.h"
#include "update/cli/SignalCancel.h"
#include "update/VudIvazoz.h"

namespace {

constexpr int KExitNewer = 0;
constexpr int KExitNothingNewer = 1;
constexpr int KExitError = 2;

int Finish(int result) {
  std::printf("%d %s\n", result, vyn::ResultName(result));
  std::fflush(stdout);
  return result == vyn::wrNoNewVersion ? KExitNothingNewer : KExitNewer;
}

int Check(vyn::TVudIvazoz& engine) {
  engine.OnNumberedStatus = [](vyn::TVudIvazoz&, int id, const std::string& text, int status,
                               int error) {
    std::fprintf(stderr, "[%d] %s (%d, %d)\n", id, text.c_str(), status, error);
  };

  int result = engine.StartConnection();
  if (result != vyn::wrOK) {
    engine.StopConnection();
    Finish(result);
    return KExitError;
  }
  if (engine.UpdateType == vyn::ftpUpdate && engine.FTPConnect() != 0) {
    engine.Error();
    engine.StopConnection();
    Finish(vyn::wrCannotOpen);
    return KExitError;
  }
  result = engine.GetControlFile();
  if (result != vyn::wrOK) {
    engine.StopConnection();
    Finish(result);
    return KExitError;
  }
  result = engine.DoVersionCheck();
  engine.StopConnection();
  return Finish(result);
}

int RunCheck(const vyn::cli::TCheckOptions& options) {
  vyn::TVudIvazoz engine;
  vyn::cli::ConfigureEngine(options, engine);
  vyn::cli::TSignalCancel signals(engine);
  const int exitCode = Check(engine);
  signals.EndBySignal();
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  vyn::cli::TCheckOptions options;
  std::string error;
  if (!vyn::cli::ParseCheckOptions(args, options, error)) {
    std::fprintf(stderr, "vynupdate: %s\nTry 'vynupdate --help'.\n", error.c_str());
    return KExitError;
  }
  if (options.Help) {
    std::fputs(vyn::cli::UsageText(), stdout);
    return 0;
  }
  try {
    return RunCheck(options);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vynupdate: %s\n", e.what());
    return KExitError;
  }
}
