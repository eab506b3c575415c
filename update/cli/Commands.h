#pragma once
// The three commands of vynupdate; each returns the process's exit status.

#include "update/cli/CommandOptions.h"

namespace vyn::cli {

constexpr int KExitDone = 0;     // check: newer release; run: updated; news: text printed
constexpr int KExitNothing = 1;  // check: none newer; run: ended without an update; news: none
constexpr int KExitError = 2;

int CheckCommand(const TCommandOptions& options);
int RunCommand(const TCommandOptions& options);
int NewsCommand(const TCommandOptions& options);

// Writes every numbered message on standard error as "[number] text (status, error)".
void ReportSteps(TVudIvazoz& engine);

}  // namespace vyn::cli
