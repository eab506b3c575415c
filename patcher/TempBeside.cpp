#include "patcher/TempBeside.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "patcher/PatchError.h"

namespace vyn::patcher {

namespace {
constexpr int KNameTries = 100;

// The owner and group the new file could be given, and the mode that grants nobody more than
// the target did: bits of a group or owner that could not be kept are dropped.
mode_t KeepOwnerAndMode(int fd, const struct stat& like) {
  mode_t mode = like.st_mode & 07777;
  struct stat own {};
  if (fstat(fd, &own) != 0) ThrowSystemError("cannot read the status of the new file");
  if (own.st_uid != like.st_uid && geteuid() == 0 &&
      fchown(fd, like.st_uid, like.st_gid) != 0)
    ThrowSystemError("cannot give the new file the target's owner");
  if (fstat(fd, &own) != 0) ThrowSystemError("cannot read the status of the new file");
  if (own.st_gid != like.st_gid && fchown(fd, static_cast<uid_t>(-1), like.st_gid) != 0)
    mode &= ~(S_ISGID | S_IRWXG);
  if (own.st_uid != like.st_uid) mode &= ~S_ISUID;
  return mode;
}
}  // namespace

TTempBeside::TTempBeside(int folder) : FFolder(folder) {
  std::random_device entropy;
  for (int i = 0; i < KNameTries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, ".patcher-%08X.tmp", static_cast<unsigned>(entropy()));
    const int fd = openat(FFolder, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                          0600);
    if (fd >= 0) {
      FName = name;
      FFile = TFileDescriptor(fd);
      return;
    }
    if (errno != EEXIST) ThrowSystemError("cannot create a temporary file beside the target");
  }
  throw TPatchError("cannot create a temporary file beside the target: every name tried is taken");
}

TTempBeside::~TTempBeside() {
  if (!FDone) unlinkat(FFolder, FName.c_str(), 0);
}

void TTempBeside::Write(const void* data, size_t size) {
  const char* bytes = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(FFile.Get(), bytes, size);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) ThrowSystemError("cannot write the new file");
    bytes += written;
    size -= static_cast<size_t>(written);
  }
}

void TTempBeside::Replace(const std::string& name, const struct stat& like) {
  const mode_t mode = KeepOwnerAndMode(FFile.Get(), like);
  if (fchmod(FFile.Get(), mode) != 0) ThrowSystemError("cannot set the new file's permissions");
  if (fsync(FFile.Get()) != 0) ThrowSystemError("cannot write the new file to disk");
  if (FFile.Close() != 0) ThrowSystemError("cannot write the new file");
  if (renameat(FFolder, FName.c_str(), FFolder, name.c_str()) != 0)
    ThrowSystemError("cannot put the new file in place of the target");
  FDone = true;
  // The rename itself must survive a crash too; the file is in place whatever this says.
  fsync(FFolder);
}

}  // namespace vyn::patcher
