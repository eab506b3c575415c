#include "update/files/ResourceFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "archive/LZExpand.h"
#include "platform/FileCreationMode.h"
#include "platform/TempFile.h"

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

void WriteResourceFile(std::string_view bytes, const std::string& folder, const std::string& name,
                       unsigned mode, const std::string& what) {
  const std::string target = folder + name;
  const auto fail = [&](int error) {
    throw std::runtime_error("Cannot write " + what + " " + target + ": " + std::strerror(error));
  };
  const std::string temporary = GetTempFileName(folder, "WUPD");
  if (temporary.empty()) fail(errno ? errno : EIO);
  const int fd = open(temporary.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  bool ok = fd >= 0 && WriteAll(fd, bytes) && fchmod(fd, mode) == 0 && fsync(fd) == 0;
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
}  // namespace

void UnpackResource(std::string_view packed, const std::string& folder, const std::string& name,
                    const std::string& what) {
  std::string packedName = name;
  packedName.back() = '_';
  WriteResourceFile(packed, folder, packedName, 0666 & ~CurrentUmask(022), what);
  if (ExpandLZFile(folder + packedName) != folder + name) {
    std::remove((folder + packedName).c_str());
    throw std::runtime_error("Cannot expand " + what + " in " + folder);
  }
}

}  // namespace vyn
