#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <vector>

#include "platform/Folders.h"
#include "platform/Process.h"
#include "update/log/SystemError.h"
#include "update/VudIvazoz.h"

namespace vyn {

namespace {
constexpr int KPumpIntervalMs = 50;
constexpr int KExitCodeErrorBase = 8192;

// Hides the status window again however the run ends.
class TStatusWindowShown {
public:
  TStatusWindowShown(IVudUserInterface& ui, bool shown, const std::string& caption,
                     const std::string& message)
      : FUi(ui), FShown(shown) {
    if (FShown) FUi.StatusWindowShow(caption, message);
  }
  ~TStatusWindowShown() {
    if (FShown) FUi.StatusWindowHide();
  }
  TStatusWindowShown(const TStatusWindowShown&) = delete;
  TStatusWindowShown& operator=(const TStatusWindowShown&) = delete;

private:
  IVudUserInterface& FUi;
  bool FShown;
};

// A program named without a folder is the one shipped with the application: it is looked for
// in the current folder, the executable's folder and the staging folder (where the patch tool
// is unpacked), never in PATH, so a program planted under that name elsewhere is never run.
std::string FindProgram(const TVudIvazoz& engine, const std::string& name) {
  if (name.find('/') != std::string::npos) return name;
  std::vector<std::string> folders = {CurrentDir(), ExeDir()};
  try {
    folders.push_back(engine.WinTempDir());
  } catch (const std::runtime_error&) {
    // No staging folder: nothing can have been unpacked there.
  }
  for (const std::string& folder : folders) {
    const std::string path = FindFileNoCase(folder, name);
    if (!path.empty() && FileExists(path)) return path;
  }
  return "";
}

void RecordStartFailure(int error) { SetLastSystemError(error, std::strerror(error)); }
}  // namespace

// A program started here has no window, so the show flag has nothing to act on.
bool TVudIvazoz::ExecAndWait(const std::string& command, bool /*showWindow*/, bool animation,
                             const std::string& caption, const std::string& message) {
  LogStatus(18, command, 18, 0);
  TStatusWindowShown statusWindow(UserInterface(), animation, caption, message);

  std::vector<std::string> argv = SplitCommandLine(command);
  // The one form of redirection a command line may end with: ">> FILE" appends the program's
  // output to FILE. Nothing else is interpreted.
  std::string output;
  if (argv.size() >= 3 && argv[argv.size() - 2] == ">>") {
    output = argv.back();
    argv.resize(argv.size() - 2);
  }
  if (argv.empty()) {
    RecordStartFailure(ENOENT);
    return false;
  }
  argv[0] = FindProgram(*this, argv[0]);
  if (argv[0].empty()) {
    RecordStartFailure(ENOENT);
    return false;
  }

  int outputFd = -1;
  if (!output.empty()) {
    outputFd = open(output.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC,
                    0666);
    if (outputFd < 0) {
      RecordStartFailure(errno);
      return false;
    }
  }
  const TProcessResult started = SpawnChild(argv, outputFd);
  if (outputFd >= 0) close(outputFd);
  if (!started.Started) {
    RecordStartFailure(started.Error);
    return false;
  }

  int exitCode = -1;
  while (!CollectChild(started.Pid, KPumpIntervalMs, exitCode))
    UserInterface().ProcessPendingEvents();
  if (exitCode == 0) return true;
  SetLastSystemError(exitCode + KExitCodeErrorBase,
                     "The program ended with exit code " + std::to_string(exitCode));
  return false;
}

}  // namespace vyn
