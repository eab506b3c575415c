#pragma once
// Undoing the steps of a journal, and settling a finished one.

#include <vector>

#include "updater/ApplyJournal.h"
#include "updater/UpdaterLog.h"

namespace vyn {

// Undoes the entries, the latest first: a replaced file comes back from its backup, a created
// file and every incoming leftover are removed, a made folder is removed when empty. A backup
// is used only while it is still the very file that was replaced, never whatever else (a link,
// say) lies at its name, and only in a folder that is still reached through no link. Every
// entry is tried; true when all of them are undone.
bool RollBackEntries(const std::vector<TJournalEntry>& entries, const TUpdaterLog& log);

// After a finished apply: removes the backups that are still the replaced files.
void RemoveBackups(const std::vector<TJournalEntry>& entries);

}  // namespace vyn
