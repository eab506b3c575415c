#pragma once
// Undoing what an interrupted apply left behind, at the next start or on request.

#include <string>
#include <vector>

#include "updater/UpdaterLog.h"

namespace vyn {

enum class TRecovery {
  rcNothing,     // no journal: no apply was interrupted
  rcRolledBack,  // every file is the old one again; the journal is gone
  rcFinished,    // the apply had finished: only its backups were left, now gone with the journal
  rcIncomplete,  // something could not be put back or was refused; the journal is kept
};

// Settles the journal an apply left in `staging` (with its trailing '/'), a folder the
// updater trusts.
TRecovery RecoverInterruptedApply(const std::string& staging, const TUpdaterLog& log);

// dezaziz.exe --recover STAGING, `arguments` being the words after "--recover": recovers,
// logs, and gives the exit code: 0 when nothing was left or all is settled, 1 when it could
// not be (the journal is kept for a later try), 2 for a wrong command line.
int RunRecovery(const std::vector<std::string>& arguments);

}  // namespace vyn
