#include "updater/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>

#include "platform/FileCreationMode.h"
#include "platform/FileMove.h"
#include "platform/Folders.h"
#include "platform/TempFile.h"

namespace vyn {

namespace {

// Opens a staged file only when it is a plain file and not a link.
int OpenPlainFile(const std::string& path) {
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  struct stat st {};
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))) {
    close(fd);
    return -1;
  }
  return fd;
}

// The replaced file's permissions; a link's target is someone else's, so only a plain file
// hands them on. A new file gets the usual mode.
unsigned ReplacingMode(const std::string& to, int from) {
  struct stat st {};
  if (lstat(to.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  char head[4];
  const ssize_t n = pread(from, head, sizeof head, 0);
  return NewFileMode(std::string_view(head, n > 0 ? static_cast<size_t>(n) : 0), CurrentUmask(022));
}

std::string FolderOf(const std::string& path) {
  const std::string parent = std::filesystem::path(path).parent_path().string();
  return parent.empty() ? "." : parent;
}

bool CopyInto(int in, int out) {
  char block[65536];
  for (;;) {
    const ssize_t n = read(in, block, sizeof block);
    if (n == 0) return true;
    if (n < 0 || write(out, block, static_cast<size_t>(n)) != n) return false;
  }
}

}  // namespace

std::string ReplacedFile(const std::string& folder, const std::string& name) {
  const std::string existing = FindFileNoCase(folder, name);
  return existing.empty() ? IncludeTrailingSlash(folder) + name : existing;
}

bool CopyFileReplacing(const std::string& from, const std::string& to) {
  const int in = OpenPlainFile(from);
  if (in < 0) return false;
  const unsigned mode = ReplacingMode(to, in);
  const std::string beside = GetTempFileName(FolderOf(to), "WUPD");
  bool ok = !beside.empty();
  if (ok) {
    const int out = open(beside.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
    ok = out >= 0 && CopyInto(in, out) && fchmod(out, mode) == 0 && fsync(out) == 0;
    if (out >= 0 && close(out) != 0) ok = false;
    ok = ok && std::rename(beside.c_str(), to.c_str()) == 0;
    if (!ok) std::remove(beside.c_str());
  }
  close(in);
  return ok;
}

bool MoveFileKeepingMode(const std::string& from, const std::string& to) {
  const int in = OpenPlainFile(from);
  if (in < 0) return false;
  struct stat st {};
  fstat(in, &st);
  const unsigned mode = ReplacingMode(to, in);
  const bool moved = fchmod(in, mode) == 0 && MoveFileReplacing(from, to, mode);
  if (!moved) fchmod(in, st.st_mode & 07777);
  close(in);
  return moved;
}

}  // namespace vyn
