#include "updater/ApplyTransaction.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/FileDescriptor.h"
#include "updater/Rollback.h"
#include "updater/SyncFolder.h"

namespace vyn {

namespace {

std::string JoinPath(const std::string& folder, const std::string& name) {
  return folder == "/" ? "/" + name : folder + "/" + name;
}

// The target in its real folder, so that the journal names what a later start will find
// however the folder was reached; nullopt when the folder does not exist or the name is no
// plain name.
std::optional<std::string> ResolvedTarget(const std::string& target) {
  const std::string name = std::filesystem::path(target).filename().string();
  char real[PATH_MAX];
  struct stat st {};
  if (name.empty() || name == "." || name == ".." || !realpath(FolderOf(target).c_str(), real) ||
      stat(real, &st) != 0 || !S_ISDIR(st.st_mode))
    return std::nullopt;
  const std::string resolved = JoinPath(real, name);
  if (!IsAcceptableJournalPath(resolved)) return std::nullopt;
  return resolved;
}

bool SyncFile(const std::string& path) {
  const TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  return fd.Get() >= 0 && fsync(fd.Get()) == 0;
}

// Keeps the old file under its backup name as a second name of the same file, so the target
// never disappears. Where hard links are not to be had, the old file is renamed instead: the
// journal still knows where it is.
bool KeepBackup(const std::string& path) {
  const std::string backup = BackupName(path);
  struct stat st {};
  if (lstat(backup.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || unlink(backup.c_str()) != 0))
    return false;
  if (link(path.c_str(), backup.c_str()) != 0 && std::rename(path.c_str(), backup.c_str()) != 0)
    return false;
  return SyncFolder(FolderOf(path));
}

}  // namespace

TApplyTransaction::TApplyTransaction(const std::string& staging, const TUpdaterLog& log)
    : FLog(log), FJournal(JournalFile(staging)) {}

bool TApplyTransaction::Record(const TJournalEntry& entry) {
  if (!FJournal.Append(entry)) {
    FLog.WriteAlways("Upd cannot write the journal " + FJournal.Path());
    return false;
  }
  FEntries.push_back(entry);
  FJournaled.emplace(entry.Path, entry.Kind);
  return true;
}

bool TApplyTransaction::Place(const std::string& target, const TWriter& write) {
  const std::optional<std::string> path = ResolvedTarget(target);
  if (!path) return false;
  struct stat old {};
  const bool replacing = lstat(path->c_str(), &old) == 0;
  if (replacing && S_ISDIR(old.st_mode)) return false;
  if (FJournaled.count(*path) == 0 &&
      !Record({replacing ? TJournalKind::jkReplaced : TJournalKind::jkCreated, *path,
               replacing ? old.st_ino : 0}))
    return false;
  // Only the file that was there before the apply is kept, and only once.
  const bool keep = FJournaled[*path] == TJournalKind::jkReplaced && FKept.count(*path) == 0;

  const std::string incoming = IncomingName(*path);
  struct stat st {};
  if (lstat(incoming.c_str(), &st) == 0 && (S_ISDIR(st.st_mode) || unlink(incoming.c_str()) != 0))
    return false;
  const bool ok = write(incoming) && SyncFile(incoming) &&
                  (!keep || (KeepBackup(*path) && FKept.insert(*path).second)) &&
                  std::rename(incoming.c_str(), path->c_str()) == 0;
  if (!ok) unlink(incoming.c_str());
  FFolders.insert(FolderOf(*path));
  return ok;
}

bool TApplyTransaction::MakeFolders(const std::string& folder) {
  std::filesystem::path existing = folder.empty() ? "." : folder;
  std::vector<std::string> missing;
  struct stat st {};
  while (lstat(existing.c_str(), &st) != 0) {
    if (errno != ENOENT || !existing.has_relative_path()) return false;
    missing.push_back(existing.filename().string());
    existing = existing.parent_path();
    if (existing.empty()) existing = ".";
  }
  char real[PATH_MAX];
  if (!realpath(existing.c_str(), real)) return false;
  std::string path = real;
  for (auto name = missing.rbegin(); name != missing.rend(); ++name) {
    if (name->empty() || *name == ".") continue;
    if (*name == "..") return false;  // past a folder that does not exist yet
    const std::string parent = path;
    path = JoinPath(path, *name);
    if (!IsAcceptableJournalPath(path) || !Record({TJournalKind::jkFolder, path, 0}) ||
        mkdir(path.c_str(), 0777) != 0 || !SyncFolder(parent))
      return false;
  }
  return true;
}

bool TApplyTransaction::Commit() {
  if (!FJournal.Started()) return true;
  for (const std::string& folder : FFolders) SyncFolder(folder);
  if (!FJournal.MarkFinished()) {
    FLog.WriteAlways("Upd cannot write the journal " + FJournal.Path());
    return false;
  }
  RemoveBackups(FEntries);
  return FJournal.Remove();
}

bool TApplyTransaction::RollBack() {
  if (RollBackEntries(FEntries, FLog) && FJournal.Remove()) {
    FLog.WriteAlways("Upd update rolled back");
    return true;
  }
  FLog.WriteAlways("Upd rollback incomplete, journal kept : " + FJournal.Path());
  return false;
}

}  // namespace vyn
