#pragma once
// The updater's one pass: wait for the application, apply its components, start it again.

#include <string>
#include <vector>

namespace vyn {

// `words` are the command-line arguments after the program name.
void RunUpdater(const std::vector<std::string>& words);

}  // namespace vyn
