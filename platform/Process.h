#pragma once
// Starting programs and waiting for them.

#include <string>
#include <vector>
#include <sys/types.h>

namespace vyn {

// Spaces separate arguments; double quotes group and are dropped; a backslash is plain.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

struct TProcessResult {
  bool Started = false;
  pid_t Pid = -1;
  int ExitCode = -1;   // when waited: the exit status, or 128 + signal
  int Error = 0;       // errno when not started
};

// Starts argv[0] (searched in PATH when it has no '/') with the given arguments in
// `workDir` ("" = current). When `wait` is true, waits for it and fills ExitCode.
TProcessResult StartProcess(const std::vector<std::string>& argv, bool wait,
                            const std::string& workDir = "");
// The same for a command line split by SplitCommandLine.
TProcessResult StartCommandLine(const std::string& commandLine, bool wait,
                                const std::string& workDir = "");

// Blocks until the process `pid` has ended (returns at once when it has already ended or
// does not exist). timeoutMs < 0 waits without limit; returns false on time-out.
bool WaitForProcessEnd(pid_t pid, int timeoutMs = -1);

// Opens a document, folder or address with the desktop (xdg-open), without waiting.
bool OpenWithDesktop(const std::string& target);

}  // namespace vyn
