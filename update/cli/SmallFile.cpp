#include "update/cli/SmallFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/FileDescriptor.h"

namespace vyn::cli {

bool ReadSmallFile(const std::string& path, size_t limit, std::string& text, std::string& error) {
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) return error = std::strerror(errno), false;
  struct stat st {};
  if (fstat(fd.Get(), &st) != 0) return error = std::strerror(errno), false;
  if (!S_ISREG(st.st_mode)) return error = "not a regular file", false;
  text.assign(limit, '\0');
  size_t filled = 0;
  while (filled < limit) {
    const ssize_t n = read(fd.Get(), text.data() + filled, limit - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return error = std::strerror(errno), false;
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  text.resize(filled);
  return true;
}

}  // namespace vyn::cli
