#include "archive/OutputFolder.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/Folders.h"

namespace vyn::archive {

std::optional<TOutputFolder> TOutputFolder::Open(const std::string& path, bool create) {
  const std::string folder = path.empty() ? "." : path;
  if (create && !ForceDirectories(folder)) return std::nullopt;
  const int handle = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (handle < 0) return std::nullopt;
  return TOutputFolder(handle);
}

TOutputFolder::TOutputFolder(TOutputFolder&& other) noexcept : FHandle(other.FHandle) { other.FHandle = -1; }

TOutputFolder& TOutputFolder::operator=(TOutputFolder&& other) noexcept {
  if (this != &other) {
    if (FHandle >= 0) close(FHandle);
    FHandle = other.FHandle;
    other.FHandle = -1;
  }
  return *this;
}

TOutputFolder::~TOutputFolder() {
  if (FHandle >= 0) close(FHandle);
}

std::optional<TOutputFolder> TOutputFolder::Enter(const std::string& name) const {
  const std::string entry = Resolve(name);
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int handle = openat(FHandle, entry.c_str(), kFlags);
  if (handle < 0 && errno == ENOENT) {
    // Another extraction may make it at the same moment: EEXIST is fine, the open decides.
    if (mkdirat(FHandle, entry.c_str(), 0777) != 0 && errno != EEXIST) return std::nullopt;
    handle = openat(FHandle, entry.c_str(), kFlags);
  }
  if (handle < 0) return std::nullopt;
  return TOutputFolder(handle);
}

std::string TOutputFolder::Resolve(const std::string& name) const {
  struct stat st {};
  if (fstatat(FHandle, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) return name;
  const int listing = dup(FHandle);
  if (listing < 0) return name;
  DIR* folder = fdopendir(listing);
  if (!folder) {
    close(listing);
    return name;
  }
  rewinddir(folder);  // the duplicate shares the position of any earlier listing
  std::string found;
  while (const dirent* entry = readdir(folder)) {
    if (strcasecmp(entry->d_name, name.c_str()) == 0 && (found.empty() || found > entry->d_name))
      found = entry->d_name;
  }
  closedir(folder);
  return found.empty() ? name : found;
}

}  // namespace vyn::archive
