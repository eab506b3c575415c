#pragma once
// vynupdate release DIR --base-url URL -o FILE.INF: the control file of a release.

#include "update/cli/CommandOptions.h"

namespace vyn::cli {

// Writes the control file and lists its files; the process's exit status.
int ReleaseCommand(const TCommandOptions& options);

}  // namespace vyn::cli
