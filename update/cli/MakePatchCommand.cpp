#include "update/cli/MakePatchCommand.h"

#include <cstdio>
#include <stdexcept>

#include "update/cli/Commands.h"
#include "update/cli/MakePatch.h"

namespace vyn::cli {

int MakePatchCommand(const TCommandOptions& options) {
  try {
    const TMadePatch made = MakePatch(options.OldFile, options.NewFile, options.PatchFile);
    std::printf("old %llu bytes, new %llu bytes, patch %llu bytes\n",
                static_cast<unsigned long long>(made.Old),
                static_cast<unsigned long long>(made.New),
                static_cast<unsigned long long>(made.Patch));
    return KExitDone;
  } catch (const std::runtime_error& e) {
    std::fprintf(stderr, "vynupdate: %s\n", e.what());
    return KExitError;
  }
}

}  // namespace vyn::cli
