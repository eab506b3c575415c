#include "updater/Updater.h"

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "platform/Folders.h"
#include "platform/Process.h"
#include "updater/ComponentProcessor.h"
#include "updater/HandoffFile.h"
#include "updater/Restart.h"
#include "updater/UpdaterArguments.h"
#include "updater/UpdaterLog.h"

namespace vyn {

namespace {

// Components are taken only from a real folder that other users cannot write to, as the
// engine's private staging folder is.
bool IsTrustedStaging(const std::string& staging) {
  std::string folder = staging;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  struct stat st {};
  return !folder.empty() && lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         (st.st_mode & S_IWOTH) == 0;
}

}  // namespace

void RunUpdater(const std::vector<std::string>& words) {
  const std::optional<TUpdaterArguments> arguments = ParseUpdaterArguments(words);
  if (!arguments) return;

  const auto waitStart = TUpdaterClock::now();
  WaitForProcessEnd(arguments->ProcessId, -1);
  const auto waitEnd = TUpdaterClock::now();

  const std::string logFile = PlaceLogFile(TakeHandoffLogFileName());
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const TUpdaterLog log(logFile, arguments->Logging);

  log.Write("UPD v2.0.4.0 started");
  log.Write("UPD current directory: " + CurrentDir());
  log.Write("UPD waited from " + FormatLogTime(waitStart, true) + " to " +
            FormatLogTime(waitEnd, true) + " for application close");

  const std::string staging = IncludeTrailingSlash(ToLocalSeparators(arguments->Staging));
  if (IsTrustedStaging(staging)) {
    TComponentProcessor processor(log);
    for (const std::string& component : arguments->Components)
      processor.ProcessComponent(ToLocalSeparators(component), staging,
                                 IncludeTrailingSlash(CurrentDir()));
  } else if (!arguments->Components.empty()) {
    log.Write("Upd refused staging folder : " + arguments->Staging);
  }

  if (arguments->RestartProgram == "null") return;
  log.Write("UPD restart " + arguments->RestartProgram + " " + arguments->RestartParameters);
  RestartApplication(arguments->RestartProgram, arguments->RestartParameters);
  log.WriteAlways("UPD has EXE restarted");
}

}  // namespace vyn
