#pragma once
// The text of a release's control file.

#include <string>
#include <vector>

#include "update/cli/CommandOptions.h"
#include "update/cli/ReleaseFacts.h"
#include "update/cli/ReleaseListing.h"

namespace vyn::cli {

struct TRelease {
  std::string Date;        // "DD/MM/YYYY"
  std::string NewVersion;  // "" = none
  std::vector<TReleaseFile> Files;
  // One of each for every file.
  std::vector<std::string> Addresses;
  std::vector<TReleaseFacts> Facts;
};

// [update], [application] when options.AppComps is set, [files] and one [fileN] a file.
std::string ReleaseControlText(const TCommandOptions& options, const TRelease& release);

}  // namespace vyn::cli
