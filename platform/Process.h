#pragma once
// Starting programs and waiting for them.

#include <string>
#include <vector>
#include <sys/types.h>

namespace vyn {

// Characters up to and including the space separate arguments; at the start of an argument each
// pair of double quotes is skipped; elsewhere a double quote switches quoting and is dropped, and
// spaces inside quotes belong to the argument. A backslash is plain, so "C:\dir\" stays intact.
std::vector<std::string> SplitCommandLine(const std::string& commandLine);

struct TProcessResult {
  bool Started = false;
  pid_t Pid = -1;
  int ExitCode = -1;   // when waited: the exit status, or 128 + signal
  int Error = 0;       // errno when not started
};

// Starts argv[0] (searched in PATH when it has no '/'; a relative path is taken from the
// caller's current directory, not from `workDir`) with the given arguments in `workDir`
// ("" = current). The child gets no descriptors beyond standard input, output and error, and
// default signal handling. When `wait` is true, waits for it and fills ExitCode; otherwise the
// child is reaped in the background when it ends (WaitForProcessEnd still works on its pid).
TProcessResult StartProcess(const std::vector<std::string>& argv, bool wait,
                            const std::string& workDir = "");
// Starts the program as StartProcess does, with `stdOut` (when not -1) as its standard output,
// and leaves the child to the caller, who must collect it with CollectChild.
TProcessResult SpawnChild(const std::vector<std::string>& argv, int stdOut = -1,
                          const std::string& workDir = "");
// Waits up to `timeoutMs` (< 0: without limit) for a child of SpawnChild; once it has ended,
// collects it, sets `exitCode` (the exit status, or 128 + signal) and returns true.
bool CollectChild(pid_t pid, int timeoutMs, int& exitCode);

// The same for a command line split by SplitCommandLine.
TProcessResult StartCommandLine(const std::string& commandLine, bool wait,
                                const std::string& workDir = "");

// Blocks until the process `pid` has ended (returns at once when it has already ended or
// does not exist, or when pid is not positive). Works for processes that are not our children.
// timeoutMs < 0 waits without limit; returns false on time-out.
bool WaitForProcessEnd(pid_t pid, int timeoutMs = -1);

// Opens a document, folder or address with the desktop (xdg-open), without waiting.
bool OpenWithDesktop(const std::string& target);

namespace detail {
// The fallback of WaitForProcessEnd for kernels without pidfd_open: polls every 50 ms.
bool PollForProcessEnd(pid_t pid, int timeoutMs);
}  // namespace detail

}  // namespace vyn
