#pragma once
// The journal of an apply in progress, kept in the staging folder: every file the updater is
// about to replace or create and every folder it is about to make, each line flushed to disk
// before the step it announces, so that a later start can put everything back.

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/FileDescriptor.h"

namespace vyn {

enum class TJournalKind {
  jkReplaced,  // a file that existed: kept at its backup name until the apply is settled
  jkCreated,   // a file that did not exist
  jkFolder,    // a folder that did not exist
};

struct TJournalEntry {
  TJournalKind Kind = TJournalKind::jkCreated;
  std::string Path;    // absolute, without "." or ".." and reached through no link
  ino_t OldInode = 0;  // jkReplaced: the replaced file, which its backup is the same file as
};

// Beside each replaced file: its backup (the old file, until the apply is settled) and the
// incoming new file, renamed over it once complete.
std::string BackupName(const std::string& path);
std::string IncomingName(const std::string& path);

// The journal of the staging folder `staging` (with its trailing '/').
std::string JournalFile(const std::string& staging);

// What a journal entry may name: an absolute path of plain names (no empty, "." or ".."
// segment, no control character), not itself a backup or an incoming file.
bool IsAcceptableJournalPath(const std::string& path);

class TJournalWriter {
public:
  explicit TJournalWriter(std::string path) : FPath(std::move(path)) {}

  bool Started() const { return FFile.Get() >= 0; }
  const std::string& Path() const { return FPath; }
  // Writes the entry and flushes it to disk. The first one creates the journal, never over an
  // existing file or through a link.
  bool Append(const TJournalEntry& entry);
  // Every step is done: a later start only removes the backups.
  bool MarkFinished();
  // Deletes the journal: nothing is left to undo.
  bool Remove();

private:
  bool WriteLine(const std::string& line);

  std::string FPath;
  TFileDescriptor FFile;
};

struct TJournalContents {
  bool Readable = false;  // false: a link, no plain file, too large, or no journal of ours
  bool Finished = false;
  std::vector<TJournalEntry> Entries;
  std::vector<std::string> Refused;  // lines that are malformed or name what may not be touched
};

// The journal at `path`, nullopt when there is none. A last line cut short (the write it
// announced never happened) is left out.
std::optional<TJournalContents> ReadJournal(const std::string& path);

}  // namespace vyn
