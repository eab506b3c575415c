#include "update/files/MoveDownload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/TempFile.h"
#include "update/transfer/TransferTarget.h"

namespace vyn {

namespace {
// The first bytes of the file, enough to tell an executable.
std::string HeadOf(int fd) {
  char head[4];
  const ssize_t n = pread(fd, head, sizeof head, 0);
  return n > 0 ? std::string(head, static_cast<size_t>(n)) : std::string();
}

bool CopyInto(int in, const std::string& to, unsigned mode) {
  const int out = open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  bool ok = out >= 0 && lseek(in, 0, SEEK_SET) == 0;
  char block[65536];
  while (ok) {
    const ssize_t n = read(in, block, sizeof block);
    if (n == 0) break;
    ok = n > 0 && write(out, block, static_cast<size_t>(n)) == n;
  }
  ok = ok && fchmod(out, mode) == 0 && fsync(out) == 0;
  if (out >= 0 && close(out) != 0) ok = false;
  return ok;
}
}  // namespace

bool MoveDownload(const std::string& from, const std::string& to) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return false;
  struct stat st {};
  if (fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(in);
    return false;
  }
  const unsigned mode = TargetFileMode(to, HeadOf(in));
  const unsigned before = st.st_mode & 07777;
  bool moved = fchmod(in, mode) == 0 && std::rename(from.c_str(), to.c_str()) == 0;
  if (!moved && errno == EXDEV) {
    // Another file system: the copy is made beside the target, so the target appears whole.
    const std::filesystem::path parent = std::filesystem::path(to).parent_path();
    const std::string beside = GetTempFileName(parent.empty() ? "." : parent.string(), "WUPD");
    if (!beside.empty()) {
      moved = CopyInto(in, beside, mode) && std::rename(beside.c_str(), to.c_str()) == 0;
      if (moved)
        std::remove(from.c_str());
      else
        std::remove(beside.c_str());
    }
  }
  if (!moved) fchmod(in, before);
  close(in);
  return moved;
}

}  // namespace vyn
