#include "updater/Rollback.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <set>

#include "updater/SyncFolder.h"

namespace vyn {

namespace {

enum class TFolderState { fsReal, fsMissing, fsMoved };

// The journal names folders as they were when written: a folder that now resolves elsewhere
// has had a link put in its place.
TFolderState StateOfFolder(const std::string& folder) {
  char real[PATH_MAX];
  struct stat st {};
  if (!realpath(folder.c_str(), real) || stat(real, &st) != 0)
    return errno == ENOENT || errno == ENOTDIR ? TFolderState::fsMissing : TFolderState::fsMoved;
  if (!S_ISDIR(st.st_mode)) return TFolderState::fsMissing;
  return folder == real ? TFolderState::fsReal : TFolderState::fsMoved;
}

// A removable entry at `path` (anything but a folder): removed; true when none is left.
bool RemoveLeftover(const std::string& path) {
  struct stat st {};
  if (lstat(path.c_str(), &st) != 0) return errno == ENOENT;
  return !S_ISDIR(st.st_mode) && unlink(path.c_str()) == 0;
}

bool IsKeptFile(const std::string& path, ino_t inode) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && st.st_ino == inode;
}

bool UndoFile(const TJournalEntry& entry, const TUpdaterLog& log) {
  const TFolderState folder = StateOfFolder(FolderOf(entry.Path));
  if (folder == TFolderState::fsMissing) return entry.Kind == TJournalKind::jkCreated;
  if (folder == TFolderState::fsMoved) return false;
  if (!RemoveLeftover(IncomingName(entry.Path))) return false;
  if (entry.Kind == TJournalKind::jkCreated) {
    struct stat st {};
    const bool present = lstat(entry.Path.c_str(), &st) == 0;
    if (present && !RemoveLeftover(entry.Path)) return false;
    if (present) log.Write("Upd rollback removed " + entry.Path);
    return true;
  }
  const std::string backup = BackupName(entry.Path);
  if (IsKeptFile(entry.Path, entry.OldInode)) {
    // The old file never went, or is back already: its second name goes.
    if (IsKeptFile(backup, entry.OldInode)) unlink(backup.c_str());
    return true;
  }
  if (!IsKeptFile(backup, entry.OldInode) || std::rename(backup.c_str(), entry.Path.c_str()) != 0)
    return false;
  log.Write("Upd rollback restored " + entry.Path);
  return true;
}

bool UndoFolder(const TJournalEntry& entry) {
  const TFolderState parent = StateOfFolder(FolderOf(entry.Path));
  if (parent == TFolderState::fsMissing) return true;
  if (parent == TFolderState::fsMoved) return false;
  struct stat st {};
  if (lstat(entry.Path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return true;
  // A folder something else has put files in since is not ours to remove.
  return rmdir(entry.Path.c_str()) == 0 || errno == ENOTEMPTY || errno == EEXIST;
}

}  // namespace

bool RollBackEntries(const std::vector<TJournalEntry>& entries, const TUpdaterLog& log) {
  bool complete = true;
  std::set<std::string> folders;
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const bool undone = entry->Kind == TJournalKind::jkFolder ? UndoFolder(*entry)
                                                               : UndoFile(*entry, log);
    if (!undone) {
      log.WriteAlways("Upd rollback could not restore " + entry->Path);
      complete = false;
    }
    folders.insert(FolderOf(entry->Path));
  }
  for (const std::string& folder : folders) SyncFolder(folder);
  return complete;
}

void RemoveBackups(const std::vector<TJournalEntry>& entries) {
  for (const TJournalEntry& entry : entries) {
    const std::string backup = BackupName(entry.Path);
    if (entry.Kind == TJournalKind::jkReplaced && IsKeptFile(backup, entry.OldInode) &&
        StateOfFolder(FolderOf(entry.Path)) == TFolderState::fsReal)
      unlink(backup.c_str());
  }
}

}  // namespace vyn
