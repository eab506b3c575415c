#pragma once
// Where a release file is fetched from: the base address, its subfolders and its name.

#include <string>

#include "update/cli/ReleaseListing.h"

namespace vyn::cli {

// Base + "/" + subfolders + "/" + name. Subfolder names are percent-encoded where an address
// needs it. The file name is not: the engine names a download after the last part of its
// address as written, so a name that an address would have to encode is refused, as are
// subfolder names that a control file's target folder cannot carry (control characters,
// braces, backslashes, surrounding blanks). Throws std::runtime_error naming the file.
std::string ReleaseFileAddress(const std::string& base, const TReleaseFile& file);

}  // namespace vyn::cli
