#pragma once
// Running a program to its end.

#include <string>
#include <vector>

namespace vyn {

// Starts argv (never through a shell; argv[0] is a path, so PATH is not searched) with `stdOut`
// as its standard output when not -1, in the current folder, and waits for it without limit.
// True when it ended with exit code 0.
bool RunAndWait(const std::vector<std::string>& argv, int stdOut = -1);

}  // namespace vyn
