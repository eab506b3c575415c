#pragma once
#include <string>

namespace vyn {

// Starts a program that the control file names and does not wait for it; failures are
// ignored. `program` is a local path (placeholders already expanded, '\' read as '/');
// `params` is split into arguments by the command-line rule. No word of either ever goes
// through a shell. A file that is not an executable (a document, a folder) is opened with the
// desktop instead, without the parameters.
void StartProgram(const std::string& program, const std::string& params);

}  // namespace vyn
