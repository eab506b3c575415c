#include "update/files/MoveDownload.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileMove.h"
#include "update/transfer/TransferTarget.h"

namespace vyn {

namespace {
// The first bytes of the file, enough to tell an executable.
std::string HeadOf(int fd) {
  char head[4];
  const ssize_t n = pread(fd, head, sizeof head, 0);
  return n > 0 ? std::string(head, static_cast<size_t>(n)) : std::string();
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
  const bool moved = fchmod(in, mode) == 0 && MoveFileReplacing(from, to, mode);
  if (!moved) fchmod(in, before);
  close(in);
  return moved;
}

}  // namespace vyn
