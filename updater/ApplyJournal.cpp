#include "updater/ApplyJournal.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <charconv>
#include <set>

#include "updater/SyncFolder.h"

namespace vyn {

namespace {

constexpr const char* KHeader = "dezaziz journal 1";
constexpr const char* KFinished = "finished";
constexpr const char* KBackupSuffix = ".dezaziz-old";
constexpr const char* KIncomingSuffix = ".dezaziz-new";
// A journal names each file once: far fewer than this many bytes for any real update.
constexpr off_t KMaxJournalSize = 16 << 20;

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

std::string EntryLine(const TJournalEntry& entry) {
  switch (entry.Kind) {
    case TJournalKind::jkReplaced:
      return "replaced " + std::to_string(entry.OldInode) + " " + entry.Path;
    case TJournalKind::jkCreated: return "created " + entry.Path;
    case TJournalKind::jkFolder: return "folder " + entry.Path;
  }
  return "";
}

std::optional<TJournalEntry> ParseEntry(const std::string& line) {
  TJournalEntry entry;
  std::string rest;
  if (line.rfind("created ", 0) == 0) {
    entry.Kind = TJournalKind::jkCreated;
    rest = line.substr(8);
  } else if (line.rfind("folder ", 0) == 0) {
    entry.Kind = TJournalKind::jkFolder;
    rest = line.substr(7);
  } else if (line.rfind("replaced ", 0) == 0) {
    entry.Kind = TJournalKind::jkReplaced;
    const size_t space = line.find(' ', 9);
    if (space == std::string::npos) return std::nullopt;
    const char* first = line.data() + 9;
    const char* last = line.data() + space;
    const auto [stop, error] = std::from_chars(first, last, entry.OldInode);
    if (first == last || error != std::errc() || stop != last) return std::nullopt;
    rest = line.substr(space + 1);
  } else {
    return std::nullopt;
  }
  if (!IsAcceptableJournalPath(rest)) return std::nullopt;
  entry.Path = rest;
  return entry;
}

std::optional<std::string> ReadSmallPlainFile(const std::string& path, bool& present) {
  const TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  struct stat st {};
  present = fd.Get() >= 0 || lstat(path.c_str(), &st) == 0;
  if (fd.Get() < 0 || fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode) ||
      st.st_size > KMaxJournalSize)
    return std::nullopt;
  std::string text(static_cast<size_t>(st.st_size), '\0');
  size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = read(fd.Get(), text.data() + done, text.size() - done);
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  text.resize(done);
  return text;
}

}  // namespace

std::string BackupName(const std::string& path) { return path + KBackupSuffix; }
std::string IncomingName(const std::string& path) { return path + KIncomingSuffix; }

std::string JournalFile(const std::string& staging) { return staging + "dezaziz.journal"; }

bool IsAcceptableJournalPath(const std::string& path) {
  if (path.size() < 2 || path.size() >= PATH_MAX || path[0] != '/') return false;
  for (const unsigned char c : path)
    if (c < 0x20 || c == 0x7F) return false;
  size_t start = 1;
  for (;;) {
    const size_t slash = path.find('/', start);
    const std::string segment = path.substr(start, slash - start);
    if (segment.empty() || segment == "." || segment == "..") return false;
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  return !EndsWith(path, KBackupSuffix) && !EndsWith(path, KIncomingSuffix);
}

bool TJournalWriter::WriteLine(const std::string& line) {
  const std::string text = line + "\n";
  return write(FFile.Get(), text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
         fsync(FFile.Get()) == 0;
}

bool TJournalWriter::Append(const TJournalEntry& entry) {
  if (!Started()) {
    FFile = TFileDescriptor(
        open(FPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!Started() || !WriteLine(KHeader) || !SyncFolder(FolderOf(FPath))) return false;
  }
  return WriteLine(EntryLine(entry));
}

bool TJournalWriter::MarkFinished() { return Started() && WriteLine(KFinished); }

bool TJournalWriter::Remove() {
  if (!Started()) return true;
  FFile.Close();
  return unlink(FPath.c_str()) == 0 && SyncFolder(FolderOf(FPath));
}

std::optional<TJournalContents> ReadJournal(const std::string& path) {
  bool present = false;
  const std::optional<std::string> text = ReadSmallPlainFile(path, present);
  if (!present) return std::nullopt;
  TJournalContents contents;
  if (!text) return contents;
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text->find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text->substr(start, nl - start));
  if (lines.empty() || lines[0] != KHeader) return contents;
  contents.Readable = true;
  std::set<std::string> named;
  for (size_t i = 1; i < lines.size(); ++i) {
    if (lines[i] == KFinished && i + 1 == lines.size()) {
      contents.Finished = true;
      continue;
    }
    const std::optional<TJournalEntry> entry = ParseEntry(lines[i]);
    if (entry && named.insert(entry->Path).second)
      contents.Entries.push_back(*entry);
    else
      contents.Refused.push_back(lines[i]);
  }
  return contents;
}

}  // namespace vyn
