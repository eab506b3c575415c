#include "patcher/TargetFile.h"

#include <fcntl.h>

#include "patcher/PatchError.h"

namespace vyn::patcher {

namespace {
bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}
}  // namespace

TTargetFile::TTargetFile(const std::string& path) : FPath(path) {
  const size_t slash = path.rfind('/');
  const std::string folder =
      slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
  FName = slash == std::string::npos ? path : path.substr(slash + 1);
  if (FName.empty() || FName == "." || FName == "..")
    throw TPatchError(path + " is not a plain file");

  FFolder = TFileDescriptor(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (FFolder.Get() < 0) ThrowSystemError("cannot open the folder of " + path);

  struct stat entry {};
  if (fstatat(FFolder.Get(), FName.c_str(), &entry, AT_SYMLINK_NOFOLLOW) != 0)
    ThrowSystemError("cannot open " + path);
  if (S_ISLNK(entry.st_mode)) throw TPatchError(path + " is a link; links are not patched");
  if (!S_ISREG(entry.st_mode)) throw TPatchError(path + " is not a plain file");

  // Non-blocking so that a file swapped for a pipe meanwhile cannot hold the open.
  FFile = TFileDescriptor(
      openat(FFolder.Get(), FName.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (FFile.Get() < 0) ThrowSystemError("cannot open " + path);
  if (fstat(FFile.Get(), &FStatus) != 0) ThrowSystemError("cannot read the status of " + path);
  if (!S_ISREG(FStatus.st_mode) || !SameFile(entry, FStatus))
    throw TPatchError(path + " changed while it was opened");
}

void TTargetFile::CheckUnchanged() const {
  struct stat now {};
  if (fstatat(FFolder.Get(), FName.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
      !SameFile(now, FStatus))
    throw TPatchError(FPath + " was replaced while it was patched");
}

}  // namespace vyn::patcher
