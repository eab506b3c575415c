// vynupdate: checks for, fetches and applies the updates a control file describes, and makes
// and verifies releases.

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "update/cli/Commands.h"
#include "update/cli/MakePatchCommand.h"
#include "update/cli/ReleaseCommand.h"
#include "update/cli/VerifyCommand.h"

int main(int argc, char** argv) {
  using namespace vyn::cli;
  std::vector<std::string> args(argv + 1, argv + argc);
  TCommandOptions options;
  std::string error;
  if (!ParseCommandOptions(args, options, error)) {
    std::fprintf(stderr, "vynupdate: %s\nTry 'vynupdate --help'.\n", error.c_str());
    return KExitError;
  }
  if (options.Help) {
    std::fputs(UsageText(), stdout);
    return 0;
  }
  try {
    switch (options.Command) {
      case TCommand::cmCheck:
        return CheckCommand(options);
      case TCommand::cmRun:
        return RunCommand(options);
      case TCommand::cmNews:
        return NewsCommand(options);
      case TCommand::cmMakePatch:
        return MakePatchCommand(options);
      case TCommand::cmRelease:
        return ReleaseCommand(options);
      case TCommand::cmVerify:
        return VerifyCommand(options);
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vynupdate: %s\n", e.what());
  }
  return KExitError;
}
