// vynupdate run ADDRESS: the whole update; vynupdate news ADDRESS: the what's-new text.

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "update/actions/RtfPlainText.h"
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

// "news" shows no dialog: the text a newer release would show is kept to be printed. The
// engine returns no lines for rich text, which only a dialog can show, so this is how news
// gets at it.
class TNewsEngine : public TCliEngine {
public:
  int ShowWhatsNew(const std::string& Stream) override {
    Shown = Stream;
    return 0;
  }

  std::optional<std::string> Shown;
};

// The lines of a plain text, else the plain text of a rich one; "" for none.
std::string NewsText(const std::optional<std::vector<std::string>>& lines,
                     const std::optional<std::string>& shown) {
  std::string text;
  if (lines)
    for (const std::string& line : *lines) text += line + '\n';
  else if (shown)
    text = RtfToPlainText(*shown);
  if (!text.empty() && text.back() != '\n') text += '\n';
  return text;
}

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
  // With a utility the engine writes out the patch tool it carries before a patch needs it.
  TVudIvazozUtility utility;
  if (options.ApplyPatch) engine.Utility = &utility;
  // The updater waits for this process: ending it is all the closing there is to do.
  engine.OnAppDoClose = [](TVudIvazoz&) {
    std::fputs("vynupdate: the updater takes over once this program has ended\n", stderr);
  };
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
  TNewsEngine engine;
  engine.AppDir = options.AppDir;
  ConfigureEngine(options, engine);
  TRunOutcome outcome(engine);
  TTerminalUserInterface ui(engine, options.Answers);
  EnterAppDir(options);
  const auto lines = engine.NewWhatsNew(true);
  ui.EndBySignal();
  const std::string text = NewsText(lines, engine.Shown);
  if (text.empty()) return outcome.ExitCode() == KExitError ? KExitError : KExitNothing;
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fflush(stdout);
  return KExitDone;
}

}  // namespace vyn::cli
