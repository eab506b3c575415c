#include "platform/Process.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <fstream>
#include <system_error>
#include <thread>

#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vyn {

namespace {

bool IsSeparator(char c) {
  return static_cast<unsigned char>(c) <= ' ';
}

std::string CurrentDirectory() {
  char buffer[PATH_MAX];
  return getcwd(buffer, sizeof buffer) ? std::string(buffer) : std::string();
}

std::string MakeAbsolute(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  return CurrentDirectory() + "/" + path;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(path.c_str(), X_OK) == 0;
}

// Finds the program the way the shell would, so a missing program is reported by us as ENOENT
// and never shows up as a child that exits with 127.
std::string ResolveProgram(const std::string& name, int& error) {
  if (name.find('/') != std::string::npos) {
    struct stat st {};
    if (stat(name.c_str(), &st) != 0) {
      error = errno;
      return "";
    }
    return MakeAbsolute(name);
  }
  std::string searchPath;
  if (const char* path = getenv("PATH")) {
    searchPath = path;
  } else {
    size_t length = confstr(_CS_PATH, nullptr, 0);
    searchPath.resize(length);
    confstr(_CS_PATH, searchPath.data(), length);
    searchPath.resize(length ? length - 1 : 0);
  }
  error = ENOENT;
  size_t start = 0;
  while (start <= searchPath.size()) {
    size_t end = searchPath.find(':', start);
    if (end == std::string::npos) end = searchPath.size();
    std::string dir = searchPath.substr(start, end - start);
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + name;
    if (IsExecutableFile(candidate)) return MakeAbsolute(candidate);
    if (access(candidate.c_str(), F_OK) == 0) error = EACCES;
    start = end + 1;
  }
  return "";
}

int ExitCodeOf(int status) {
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  if (WIFSIGNALED(status)) return 128 + WTERMSIG(status);
  return -1;
}

int WaitForChild(pid_t pid) {
  int status = 0;
  pid_t result;
  do {
    result = waitpid(pid, &status, 0);
  } while (result < 0 && errno == EINTR);
  return result == pid ? ExitCodeOf(status) : -1;
}

// A child nobody waits for is reaped when it ends, so it never lingers as a zombie.
void ReapInBackground(pid_t pid) {
  try {
    std::thread([pid] { WaitForChild(pid); }).detach();
  } catch (const std::system_error&) {
    // Out of threads: the child stays a zombie until we end, which harms nobody else.
  }
}

bool IsZombie(pid_t pid) {
  std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(stat, text)) return false;
  size_t close = text.rfind(')');
  return close != std::string::npos && close + 2 < text.size() &&
         (text[close + 2] == 'Z' || text[close + 2] == 'X');
}

bool HasEnded(pid_t pid) {
  siginfo_t info{};
  if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0)
    return info.si_pid == pid;
  if (kill(pid, 0) != 0 && errno != EPERM) return true;
  return IsZombie(pid);
}

using TClock = std::chrono::steady_clock;

// Milliseconds left before the deadline, or -1 for no limit.
int RemainingMs(bool limited, TClock::time_point deadline) {
  if (!limited) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
  return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& commandLine) {
  std::vector<std::string> arguments;
  const size_t n = commandLine.size();
  size_t i = 0;
  for (;;) {
    for (;;) {
      while (i < n && IsSeparator(commandLine[i])) ++i;
      if (i + 1 < n && commandLine[i] == '"' && commandLine[i + 1] == '"')
        i += 2;
      else
        break;
    }
    if (i >= n) break;
    std::string argument;
    bool quoted = false;
    while (i < n && (quoted || !IsSeparator(commandLine[i]))) {
      if (commandLine[i] == '"')
        quoted = !quoted;
      else
        argument += commandLine[i];
      ++i;
    }
    arguments.push_back(std::move(argument));
  }
  return arguments;
}

TProcessResult SpawnChild(const std::vector<std::string>& argv, int stdOut,
                          const std::string& workDir) {
  TProcessResult result;
  if (argv.empty() || argv[0].empty()) {
    result.Error = ENOENT;
    return result;
  }
  int error = 0;
  std::string program = ResolveProgram(argv[0], error);
  if (program.empty()) {
    result.Error = error;
    return result;
  }

  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (stdOut >= 0) posix_spawn_file_actions_adddup2(&actions, stdOut, STDOUT_FILENO);
  if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
  posix_spawn_file_actions_addclosefrom_np(&actions, 3);

  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t all;
  sigset_t none;
  sigfillset(&all);
  sigemptyset(&none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);

  pid_t pid = -1;
  int spawnError = posix_spawn(&pid, program.c_str(), &actions, &attributes, args.data(), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  if (spawnError != 0) {
    result.Error = spawnError;
    return result;
  }

  result.Started = true;
  result.Pid = pid;
  return result;
}

bool CollectChild(pid_t pid, int timeoutMs, int& exitCode) {
  if (!WaitForProcessEnd(pid, timeoutMs)) return false;
  exitCode = WaitForChild(pid);
  return true;
}

TProcessResult StartProcess(const std::vector<std::string>& argv, bool wait,
                            const std::string& workDir) {
  TProcessResult result = SpawnChild(argv, -1, workDir);
  if (!result.Started) return result;
  if (wait)
    result.ExitCode = WaitForChild(result.Pid);
  else
    ReapInBackground(result.Pid);
  return result;
}

TProcessResult StartCommandLine(const std::string& commandLine, bool wait,
                                const std::string& workDir) {
  return StartProcess(SplitCommandLine(commandLine), wait, workDir);
}

bool WaitForProcessEnd(pid_t pid, int timeoutMs) {
  if (pid <= 0) return true;
#ifdef SYS_pidfd_open
  int fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
  if (fd < 0) {
    if (errno == ESRCH) return true;
    return detail::PollForProcessEnd(pid, timeoutMs);
  }
  const bool limited = timeoutMs >= 0;
  const auto deadline = TClock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
  bool ended = false;
  for (;;) {
    pollfd entry{fd, POLLIN, 0};
    int ready = poll(&entry, 1, RemainingMs(limited, deadline));
    if (ready > 0) {
      ended = true;
      break;
    }
    if (ready == 0) break;
    if (errno != EINTR) {
      close(fd);
      return detail::PollForProcessEnd(pid, RemainingMs(limited, deadline));
    }
  }
  close(fd);
  return ended;
#else
  return detail::PollForProcessEnd(pid, timeoutMs);
#endif
}

bool detail::PollForProcessEnd(pid_t pid, int timeoutMs) {
  if (pid <= 0) return true;
  const bool limited = timeoutMs >= 0;
  const auto deadline = TClock::now() + std::chrono::milliseconds(limited ? timeoutMs : 0);
  for (;;) {
    if (HasEnded(pid)) return true;
    int left = RemainingMs(limited, deadline);
    if (left == 0) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(left < 0 || left > 50 ? 50 : left));
  }
}

bool OpenWithDesktop(const std::string& target) {
  if (target.empty()) return false;
  return StartProcess({"xdg-open", target}, false).Started;
}

}  // namespace vyn
