#include <unistd.h>

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

// The updater replaces files in the application's folder: when this user cannot write there
// (an installed copy), it is started with administrator rights.
std::vector<std::string> UpdaterArguments(const std::string& updater,
                                          const std::string& commandLine) {
  std::vector<std::string> argv;
  if (access(".", W_OK) != 0 && access("/usr/bin/pkexec", X_OK) == 0)
    argv.push_back("/usr/bin/pkexec");
  argv.push_back(updater);
  for (std::string& word : SplitCommandLine(commandLine)) argv.push_back(std::move(word));
  return argv;
}

}  // namespace

void TVudIvazoz::DoRestart() {
  LogStatus(959, CurrentDir(), 0, 0);
  bool cancel = false;
  DoProgressCancel(cancel);
  if (cancel) return;

  bool allow = true;
  if (OnAppRestart)
    OnAppRestart(*this, allow);
  else if (!FSilentRestart)
    allow = UserInterface().MessageBox(MessageText(911), "", TMessageKind::mkQuestion,
                                       TMessageButtons::mbYesNo) == TMessageResult::mrYes;
  if (!allow) return;

  ExtractUpdater();
  TIniFile(HandoffFileName()).WriteString("CONFIG", "LOGFILENAME", ProcessLogFileName());

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

  StartProcess(UpdaterArguments(WinTempDir() + "dezaziz.exe", commandLine), false);
  if (OnAppDoClose)
    OnAppDoClose(*this);
  else
    UserInterface().TerminateApplication();
}

}  // namespace vyn
