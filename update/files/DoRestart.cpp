#include <unistd.h>

#include <cstdlib>

#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Process.h"
#include "update/VudIvazoz.h"
#include "update/files/UpdaterCommandLine.h"
#include "update/log/Messages.h"

namespace vyn {

namespace {

// The handoff file lies in the documents folder; the current folder stands in when there is
// none to be had.
std::string HandoffFileName() {
  const std::string documents = DocumentsDir();
  if (documents.empty() || !ForceDirectories(documents)) return "WUPDATE.INI";
  return IncludeTrailingSlash(documents) + "WUPDATE.INI";
}

// The elevator starts the updater in root's home folder with root's environment; env takes it
// back to the application folder with this user's folder variables, so that it reads the same
// handoff file, writes the same log and expands the same placeholders. No shell sees a word.
std::vector<std::string> ElevatedPrefix(const std::string& elevator, const std::string& folder) {
  std::vector<std::string> argv = {elevator, "/usr/bin/env", "--chdir=" + folder};
  for (const char* name : {"HOME", "XDG_CONFIG_HOME", "TMPDIR"})
    if (const char* value = std::getenv(name)) argv.push_back(std::string(name) + "=" + value);
  return argv;
}

// The updater could only fail: the user is told why, and the application goes on.
void RefuseHandoff(TVudIvazoz& engine, const std::string& why) {
  const std::string reason = CurrentDir() + " cannot be written by this user, and " + why;
  engine.LogStatus(950, reason, 1, 0);
  engine.UserInterface().MessageBox(FormatMessage(950, reason), "", TMessageKind::mkError,
                             TMessageButtons::mbOK);
}

}  // namespace

TAppFolderRights TVudIvazoz::AppFolderRights() const { return CheckAppFolderRights(); }

void TVudIvazoz::DoRestart() {
  LogStatus(959, CurrentDir(), 0, 0);
  bool cancel = false;
  DoProgressCancel(cancel);
  if (cancel) return;

  const TAppFolderRights rights = AppFolderRights();
  if (!rights.Writable && rights.Elevator.empty()) {
    RefuseHandoff(*this, std::string(KPkexecProgram) +
                  ", which would ask for administrator rights, is missing");
    return;
  }

  bool allow = true;
  if (OnAppRestart)
    OnAppRestart(*this, allow);
  else if (!FSilentRestart)
    allow = UserInterface().MessageBox(MessageText(911), "", TMessageKind::mkQuestion,
                                       TMessageButtons::mbYesNo) == TMessageResult::mrYes;
  if (!allow) return;

  const std::string updater = WinTempDir() + "dezaziz.exe";
  // env would read an updater path holding '=' as one more variable.
  if (!rights.Writable && updater.find('=') != std::string::npos) {
    RefuseHandoff(*this, "the updater's path " + updater + " holds '='");
    return;
  }
  ExtractUpdater();
  TIniFile handoffFile(HandoffFileName());
  handoffFile.WriteString("CONFIG", "LOGFILENAME", ProcessLogFileName());
  // A check left by a handoff that never ran must not watch this one.
  if (StartCheck > 0)
    handoffFile.WriteInteger("CONFIG", "STARTCHECK", StartCheck);
  else
    handoffFile.DeleteKey("CONFIG", "STARTCHECK");

  TUpdaterHandoff handoff;
  handoff.ProcessId = getpid();
  handoff.Logging = Logging;
  handoff.AppName = FAppName;
  handoff.AppParam = FAppParam;
  handoff.CurrentDir = CurrentDir();
  handoff.AutoRestart = AutoRestart;
  handoff.Staging = UseWinTempDir ? WinTempDir() : TempDirectory;
  handoff.AppComps = FAppComps;
  const std::string commandLine = UpdaterCommandLine(handoff);
  FAppParam = handoff.AppParam;
  LogStatus(958, commandLine, 0, 0);

  std::vector<std::string> argv;
  if (!rights.Writable) argv = ElevatedPrefix(rights.Elevator, handoff.CurrentDir);
  argv.push_back(updater);
  for (std::string& word : SplitCommandLine(commandLine)) argv.push_back(std::move(word));
  StartProcess(argv, false);
  if (OnAppDoClose)
    OnAppDoClose(*this);
  else
    UserInterface().TerminateApplication();
}

}  // namespace vyn
