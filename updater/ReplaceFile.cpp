#include "updater/ReplaceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/FileCreationMode.h"
#include "platform/FileDescriptor.h"
#include "platform/Folders.h"

namespace vyn {

namespace {

// Opens a staged file only when it is a plain file and not a link.
TFileDescriptor OpenPlainFile(const std::string& path) {
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  struct stat st {};
  if (fd.Get() >= 0 && (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)))
    return TFileDescriptor();
  return fd;
}

// The replaced file's permissions; a link's target is someone else's, so only a plain file
// hands them on. A new file gets the usual mode.
unsigned ReplacingMode(const std::string& replaced, int from) {
  struct stat st {};
  if (lstat(replaced.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  char head[4];
  const ssize_t n = pread(from, head, sizeof head, 0);
  return NewFileMode(std::string_view(head, n > 0 ? static_cast<size_t>(n) : 0), CurrentUmask(022));
}

bool CopyInto(int in, int out) {
  char block[65536];
  for (;;) {
    const ssize_t n = read(in, block, sizeof block);
    if (n == 0) return true;
    if (n < 0 || write(out, block, static_cast<size_t>(n)) != n) return false;
  }
}

bool KeepLastWriteTime(int from, int to) {
  struct stat st {};
  if (fstat(from, &st) != 0) return false;
  const struct timespec times[2] = {{0, UTIME_OMIT}, st.st_mtim};
  return futimens(to, times) == 0;
}

bool CopyWithMode(int in, const std::string& incoming, unsigned mode, bool keepTime) {
  TFileDescriptor out(
      open(incoming.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
  const bool ok = out.Get() >= 0 && CopyInto(in, out.Get()) && fchmod(out.Get(), mode) == 0 &&
                  (!keepTime || KeepLastWriteTime(in, out.Get()));
  return out.Get() >= 0 && out.Close() == 0 && ok;
}

}  // namespace

std::string ReplacedFile(const std::string& folder, const std::string& name) {
  const std::string existing = FindFileNoCase(folder, name);
  return existing.empty() ? IncludeTrailingSlash(folder) + name : existing;
}

bool WriteCopy(const std::string& from, const std::string& incoming, const std::string& replaced) {
  const TFileDescriptor in = OpenPlainFile(from);
  return in.Get() >= 0 &&
         CopyWithMode(in.Get(), incoming, ReplacingMode(replaced, in.Get()), false);
}

bool WriteMoved(const std::string& from, const std::string& incoming, const std::string& replaced) {
  const TFileDescriptor in = OpenPlainFile(from);
  if (in.Get() < 0) return false;
  const unsigned mode = ReplacingMode(replaced, in.Get());
  if (std::rename(from.c_str(), incoming.c_str()) == 0) return fchmod(in.Get(), mode) == 0;
  if (errno != EXDEV || !CopyWithMode(in.Get(), incoming, mode, true)) return false;
  unlink(from.c_str());
  return true;
}

}  // namespace vyn
