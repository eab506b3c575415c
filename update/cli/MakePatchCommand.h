#pragma once
// vynupdate make-patch OLD NEW PATCH: the publisher's side of binary deltas.

#include "update/cli/CommandOptions.h"

namespace vyn::cli {

// Makes the patch and prints the three sizes; the process's exit status.
int MakePatchCommand(const TCommandOptions& options);

}  // namespace vyn::cli
