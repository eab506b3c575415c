#pragma once
// Starting the application again once its files are in place.

#include <string>

namespace vyn {

// Starts `program` with `parameters` as its one argument, or alone when `parameters` is a single
// space, without a shell and without waiting for it. A program named without a folder is taken
// from the current folder, never searched for in PATH.
void RestartApplication(const std::string& program, const std::string& parameters);

}  // namespace vyn
