#pragma once
// Putting new files in place so that the whole apply can be undone: each target is journaled
// before it is touched, its old file kept beside it under its backup name, and the new file
// renamed over it, so that at every moment it is the whole old file or the whole new one.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "updater/ApplyJournal.h"
#include "updater/UpdaterLog.h"

namespace vyn {

class TApplyTransaction {
public:
  // Makes the new file at the path it is given, beside the target; false when it cannot.
  using TWriter = std::function<bool(const std::string& incoming)>;

  // The journal lies in `staging` (with its trailing '/'); it is written from the first Place.
  TApplyTransaction(const std::string& staging, const TUpdaterLog& log);

  // Puts the file `write` makes in place of `target` (relative to the current folder, in a
  // folder that exists). False, with `target` as it was, when any step fails.
  bool Place(const std::string& target, const TWriter& write);
  // Makes `folder` (relative to the current folder) with its missing parents, each journaled.
  bool MakeFolders(const std::string& folder);

  // Everything is applied: the journal says so, then the backups and the journal go. False
  // when the journal cannot say so; nothing is undone then.
  bool Commit();
  // Everything is put back; the journal goes only when all of it is, for a later try.
  bool RollBack();

private:
  bool Record(const TJournalEntry& entry);

  const TUpdaterLog& FLog;
  TJournalWriter FJournal;
  std::vector<TJournalEntry> FEntries;
  std::map<std::string, TJournalKind> FJournaled;  // the kind each path was journaled as
  std::set<std::string> FKept;                      // replaced files whose backup is made
  std::set<std::string> FFolders;    // folders whose renames must be durable before the end
};

}  // namespace vyn
