// vynupdate run ADDRESS: the whole update; vynupdate news ADDRESS: the what's-new text.

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "update/cli/CliEngine.h"
#include "update/cli/Commands.h"
#include "update/cli/TerminalUserInterface.h"

namespace vyn::cli {

namespace {

// A run failed when it never found its control file, when a step reported an error code, or
// when an exception left it.
class TRunOutcome {
public:
  explicit TRunOutcome(TVudIvazoz& engine) {
    ReportSteps(engine);
    auto report = engine.OnNumberedStatus;
    engine.OnNumberedStatus = [this, report](TVudIvazoz& sender, int id, const std::string& text,
                                             int status, int error) {
      report(sender, id, text, status, error);
      if (id == 926) FControlFileFound = true;
      if (error != 0) FFailed = true;
    };
    engine.OnSuccess = [this](TVudIvazoz&) { FSucceeded = true; };
  }

  void Failed(const std::string& why) {
    std::fprintf(stderr, "vynupdate: %s\n", why.c_str());
    FFailed = true;
  }

  int ExitCode() const {
    if (FSucceeded && !FFailed) return KExitDone;
    if (FFailed || !FControlFileFound) return KExitError;
    return KExitNothing;
  }

private:
  bool FControlFileFound = false;
  bool FFailed = false;
  bool FSucceeded = false;
};

void EnterAppDir(const TCommandOptions& options) {
  if (!options.AppDir.empty() && chdir(options.AppDir.c_str()) != 0)
    throw std::runtime_error("cannot enter --app-dir " + options.AppDir);
}

}  // namespace

int RunCommand(const TCommandOptions& options) {
  TCliEngine engine;
  engine.AppDir = options.AppDir;
  ConfigureEngine(options, engine);
  engine.ShowDownloadProgress = TTerminalUserInterface::ProgressBarWanted();
  TRunOutcome outcome(engine);
  TTerminalUserInterface ui(engine, options.Answers);
  const bool initPath = options.AppDir.empty();
  try {
    EnterAppDir(options);
    if (options.Thread) {
      bool done = false;
      engine.OnThreadUpdateDone = [&done](TVudIvazoz&) { done = true; };
      engine.DoThreadUpdate(initPath);
      ui.RunPostedUntil([&done] { return done; });
    } else {
      engine.DoUpdate(initPath);
    }
  } catch (const std::exception& e) {
    outcome.Failed(e.what());
  }
  ui.EndBySignal();
  return outcome.ExitCode();
}

int NewsCommand(const TCommandOptions& options) {
  TCliEngine engine;
  engine.AppDir = options.AppDir;
  ConfigureEngine(options, engine);
  TRunOutcome outcome(engine);
  TTerminalUserInterface ui(engine, options.Answers);
  EnterAppDir(options);
  const auto text = engine.NewWhatsNew(false);
  ui.EndBySignal();
  if (!text) return outcome.ExitCode() == KExitError ? KExitError : KExitNothing;
  for (const std::string& line : *text) std::printf("%s\n", line.c_str());
  std::fflush(stdout);
  return KExitDone;
}

}  // namespace vyn::cli
