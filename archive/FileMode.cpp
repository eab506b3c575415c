#include "archive/FileMode.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <fstream>

namespace vyn::archive {

namespace {

unsigned CurrentUmask() {
  // Read without changing it: umask() itself is process-wide and racy between threads. When
  // it cannot be read, the narrowest mask.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return static_cast<unsigned>(std::stoul(line.substr(6), nullptr, 8)) & 0777;
  return 077;
}

bool IsExecutableHead(std::string_view head) {
  return head.substr(0, 4) == "\x7F" "ELF" || head.substr(0, 2) == "#!";
}

}  // namespace

unsigned OutputFileMode(int folder, const std::string& name, std::string_view head) {
  struct stat st {};
  if (fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
    return st.st_mode & 0777;
  return (IsExecutableHead(head) ? 0777u : 0666u) & ~CurrentUmask();
}

}  // namespace vyn::archive
