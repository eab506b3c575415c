#include "updater/Recovery.h"

#include <unistd.h>

#include <cstdio>
#include <optional>

#include "platform/Folders.h"
#include "updater/ApplyJournal.h"
#include "updater/HandoffFile.h"
#include "updater/Rollback.h"
#include "updater/StagingFolder.h"
#include "updater/SyncFolder.h"

namespace vyn {

TRecovery RecoverInterruptedApply(const std::string& staging, const TUpdaterLog& log) {
  const std::string journal = JournalFile(staging);
  const std::optional<TJournalContents> contents = ReadJournal(journal);
  if (!contents) return TRecovery::rcNothing;
  log.WriteAlways("Upd interrupted update found : " + journal);
  if (!contents->Readable) {
    log.WriteAlways("Upd journal refused : " + journal);
    return TRecovery::rcIncomplete;
  }
  for (const std::string& line : contents->Refused)
    log.WriteAlways("Upd journal entry refused : " + line);
  bool settled = contents->Refused.empty();
  if (contents->Finished)
    RemoveBackups(contents->Entries);
  else
    settled = RollBackEntries(contents->Entries, log) && settled;
  if (!settled || unlink(journal.c_str()) != 0) {
    log.WriteAlways("Upd rollback incomplete, journal kept : " + journal);
    return TRecovery::rcIncomplete;
  }
  SyncFolder(FolderOf(journal));
  log.WriteAlways(contents->Finished ? "Upd finished update settled" : "Upd update rolled back");
  return contents->Finished ? TRecovery::rcFinished : TRecovery::rcRolledBack;
}

int RunRecovery(const std::vector<std::string>& arguments) {
  if (arguments.size() != 1 || arguments[0].empty()) {
    std::fputs("Usage: dezaziz.exe --recover STAGING\n", stderr);
    return 2;
  }
  const std::string staging = IncludeTrailingSlash(ToLocalSeparators(arguments[0]));
  const TUpdaterLog log(PlaceLogFile(ReadHandoff().LogFileName), true);
  log.Write("UPD recover " + staging);
  if (!IsTrustedStaging(staging)) {
    if (!ReadJournal(JournalFile(staging))) return 0;
    log.WriteAlways("Upd refused staging folder : " + arguments[0]);
    std::fprintf(stderr, "dezaziz.exe: %s is no private folder; its journal is not used\n",
                 arguments[0].c_str());
    return 1;
  }
  if (RecoverInterruptedApply(staging, log) != TRecovery::rcIncomplete) return 0;
  std::fprintf(stderr, "dezaziz.exe: the update in %s could not be rolled back wholly; see %s\n",
               staging.c_str(), log.Path().c_str());
  return 1;
}

}  // namespace vyn
