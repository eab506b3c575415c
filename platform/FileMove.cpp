#include "platform/FileMove.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/TempFile.h"

namespace vyn {

namespace {

// Copies `from` into the empty file `to` that this process just made, without following a
// link that may have replaced either since.
bool CopyBeside(const std::string& from, const std::string& to, unsigned mode) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return false;
  const int out = open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  bool ok = out >= 0;
  char block[65536];
  while (ok) {
    const ssize_t n = read(in, block, sizeof block);
    if (n == 0) break;
    ok = n > 0 && write(out, block, static_cast<size_t>(n)) == n;
  }
  ok = ok && fchmod(out, mode) == 0 && fsync(out) == 0;
  if (out >= 0 && close(out) != 0) ok = false;
  close(in);
  return ok;
}

std::string FolderOf(const std::string& path) {
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}

}  // namespace

bool MoveFileReplacing(const std::string& from, const std::string& to, unsigned mode) {
  if (std::rename(from.c_str(), to.c_str()) == 0) return true;
  if (errno != EXDEV) return false;
  const std::string beside = GetTempFileName(FolderOf(to), "WUPD");
  if (beside.empty()) return false;
  if (!CopyBeside(from, beside, mode) || std::rename(beside.c_str(), to.c_str()) != 0) {
    const int error = errno;
    std::remove(beside.c_str());
    errno = error;
    return false;
  }
  std::remove(from.c_str());
  return true;
}

}  // namespace vyn
