#include "updater/SyncFolder.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

#include "platform/FileDescriptor.h"

namespace vyn {

std::string FolderOf(const std::string& path) {
  const std::string parent = std::filesystem::path(path).parent_path().string();
  return parent.empty() ? "." : parent;
}

bool SyncFolder(const std::string& folder) {
  const TFileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.Get() >= 0 && fsync(fd.Get()) == 0;
}

}  // namespace vyn
