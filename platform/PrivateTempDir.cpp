#include "platform/PrivateTempDir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <mutex>

#include "platform/Folders.h"

namespace vyn {

bool IsPrivateFolder(const std::string& folder) {
  struct stat st {};
  return lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
         (st.st_mode & 077) == 0 && (st.st_mode & S_IRWXU) == S_IRWXU;
}

std::string PrivateTempDir() {
  const std::string base = SystemTempDir() + "/vynupdate-" + std::to_string(geteuid());
  if (mkdir(base.c_str(), 0700) != 0 && errno != EEXIST) return "";
  if (IsPrivateFolder(base)) return base;

  // The usual name is taken: a folder only this process knows, made once per system folder.
  static std::mutex mutex;
  static std::string made;
  std::lock_guard lock(mutex);
  if (!made.empty() && made.compare(0, base.size(), base) == 0 && IsPrivateFolder(made))
    return made;
  std::string pattern = base + "-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return "";
  made = pattern;
  return made;
}

}  // namespace vyn
