#pragma once
// Whether a file counts as a cabinet by its name.

#include <string>

namespace vyn {

// True when the extension of the last component of `path`, upper-cased, is ".CAB" (so
// "setup.cab" and "SETUP.CAB" both are).
bool HasCabinetExtension(const std::string& path);

}  // namespace vyn
