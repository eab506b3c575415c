#pragma once
// vynupdate verify FILE --public-key KEY: FILE against FILE.minisig, as the engine checks it.

#include "update/cli/CommandOptions.h"

namespace vyn::cli {

// Prints the trusted comment of a valid signature and the result; the process's exit status:
// 0 valid, 1 refused (also a valid signature whose trusted comment has no timestamp, which the
// engine refuses; whether it is older than one an engine accepted, only that engine knows).
int VerifyCommand(const TCommandOptions& options);

}  // namespace vyn::cli
