#include "updater/StagingFolder.h"

#include <sys/stat.h>

namespace vyn {

bool IsTrustedStaging(const std::string& staging) {
  std::string folder = staging;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  struct stat st {};
  return !folder.empty() && lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
         (st.st_mode & S_IWOTH) == 0;
}

}  // namespace vyn
