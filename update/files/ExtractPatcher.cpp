#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "platform/FileCreationMode.h"
#include "platform/Folders.h"
#include "platform/Resources.h"
#include "platform/TempFile.h"
#include "update/VudIvazoz.h"

namespace vyn {

namespace {
bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}
}  // namespace

void TVudIvazoz::ExtractPatcher() {
  const std::optional<std::string_view> tool = FindResource("UTIL");
  if (!tool) return;
  const std::string folder = UseWinTempDir ? WinTempDir() : IncludeTrailingSlash(CurrentDir());
  const std::string target = folder + "patcher.exe";
  const auto fail = [&](int error) {
    throw std::runtime_error("Cannot write the patch tool " + target + ": " +
                             std::strerror(error));
  };

  // Written beside its place and renamed there: a reader never sees half a program, and a
  // link planted under the name is replaced, not followed.
  const std::string temporary = GetTempFileName(folder, "WUPD");
  if (temporary.empty()) fail(errno ? errno : EIO);
  const int fd = open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  bool ok = fd >= 0 && WriteAll(fd, *tool) && fchmod(fd, 0777 & ~CurrentUmask(022)) == 0 &&
            fsync(fd) == 0;
  int error = errno;
  if (fd >= 0 && close(fd) != 0 && ok) {
    ok = false;
    error = errno;
  }
  if (ok && std::rename(temporary.c_str(), target.c_str()) != 0) {
    ok = false;
    error = errno;
  }
  if (!ok) {
    std::remove(temporary.c_str());
    fail(error ? error : EIO);
  }
}

}  // namespace vyn
