#include "updater/Updater.h"

#include <chrono>
#include <thread>

#include "platform/Folders.h"
#include "platform/Process.h"
#include "updater/ApplyTransaction.h"
#include "updater/ComponentProcessor.h"
#include "updater/HandoffFile.h"
#include "updater/Recovery.h"
#include "updater/Restart.h"
#include "updater/StagingFolder.h"
#include "updater/UpdaterArguments.h"
#include "updater/UpdaterLog.h"

namespace vyn {

namespace {

// Applies the components in order. The first that cannot be applied ends the apply, and every
// file put in place before it is put back.
bool ApplyComponents(const TUpdaterArguments& arguments, const std::string& staging,
                     TApplyTransaction& transaction, const TUpdaterLog& log) {
  TComponentProcessor processor(log, transaction);
  for (const std::string& component : arguments.Components) {
    const std::string name = ToLocalSeparators(component);
    if (processor.ProcessComponent(name, staging, IncludeTrailingSlash(CurrentDir()))) continue;
    log.WriteAlways("Upd failed to apply " + name + ", rolling back");
    transaction.RollBack();
    return false;
  }
  return true;
}

// A journal left by an interrupted apply is settled before anything else; its components are
// then not applied again: the old version comes back, as after any failed apply.
bool RecoverThenApply(const TUpdaterArguments& arguments, const std::string& staging,
                      TApplyTransaction& transaction, const TUpdaterLog& log) {
  if (!IsTrustedStaging(staging)) {
    if (!arguments.Components.empty())
      log.Write("Upd refused staging folder : " + arguments.Staging);
    return false;
  }
  if (RecoverInterruptedApply(staging, log) != TRecovery::rcNothing) return false;
  return ApplyComponents(arguments, staging, transaction, log);
}

void Settle(TApplyTransaction& transaction) {
  if (!transaction.Commit()) transaction.RollBack();
}

void Restart(const TUpdaterArguments& arguments, const TUpdaterLog& log) {
  log.Write("UPD restart " + arguments.RestartProgram + " " + arguments.RestartParameters);
  RestartApplication(arguments.RestartProgram, arguments.RestartParameters);
}

// The new version must keep running for the start check's seconds, or the old one comes back;
// the backups stay until then.
void RestartChecked(const TUpdaterArguments& arguments, int seconds,
                    TApplyTransaction& transaction, const TUpdaterLog& log) {
  log.Write("UPD restart " + arguments.RestartProgram + " " + arguments.RestartParameters);
  int status = -1;
  if (RestartApplicationWatched(arguments.RestartProgram, arguments.RestartParameters, seconds,
                                status)) {
    log.Write("UPD start check passed");
    Settle(transaction);
    return;
  }
  log.WriteAlways("UPD start check failed : " + arguments.RestartProgram +
                  (status < 0 ? " did not start" : " ended with status " + std::to_string(status)) +
                  ", rolling back");
  transaction.RollBack();
  Restart(arguments, log);
}

}  // namespace

void RunUpdater(const std::vector<std::string>& words) {
  const std::optional<TUpdaterArguments> arguments = ParseUpdaterArguments(words);
  if (!arguments) return;

  const auto waitStart = TUpdaterClock::now();
  WaitForProcessEnd(arguments->ProcessId, -1);
  const auto waitEnd = TUpdaterClock::now();

  const THandoff handoff = TakeHandoff();
  const std::string logFile = PlaceLogFile(handoff.LogFileName);
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  const TUpdaterLog log(logFile, arguments->Logging);

  log.Write("UPD v2.0.4.0 started");
  log.Write("UPD current directory: " + CurrentDir());
  log.Write("UPD waited from " + FormatLogTime(waitStart, true) + " to " +
            FormatLogTime(waitEnd, true) + " for application close");

  const std::string staging = IncludeTrailingSlash(ToLocalSeparators(arguments->Staging));
  TApplyTransaction transaction(staging, log);
  const bool applied = RecoverThenApply(*arguments, staging, transaction, log);

  const bool restarts = arguments->RestartProgram != "null";
  if (applied && restarts && handoff.StartCheck > 0) {
    RestartChecked(*arguments, handoff.StartCheck, transaction, log);
  } else {
    if (applied) Settle(transaction);
    if (!restarts) return;
    Restart(*arguments, log);
  }
  log.WriteAlways("UPD has EXE restarted");
}

}  // namespace vyn
