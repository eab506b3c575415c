#include "archive/OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "archive/FileMode.h"

namespace vyn::archive {

TOutputFile::TOutputFile(const TOutputFolder& folder) : FFolder(dup(folder.Handle())) {
  if (FFolder < 0) return;
  std::random_device entropy;
  for (int tries = 0; tries < 100 && FHandle < 0; ++tries) {
    char name[32];
    std::snprintf(name, sizeof name, ".vyn%08X.tmp", static_cast<unsigned>(entropy()));
    FHandle = openat(FFolder, name, O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (FHandle >= 0) FName = name;
    else if (errno != EEXIST) break;
  }
}

TOutputFile::~TOutputFile() {
  if (FHandle >= 0) {
    close(FHandle);
    unlinkat(FFolder, FName.c_str(), 0);
  }
  if (FFolder >= 0) close(FFolder);
}

std::uint64_t TOutputFile::Size() const {
  struct stat st {};
  return fstat(FHandle, &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
}

bool TOutputFile::Commit(const std::string& name, std::optional<std::time_t> lastWrite) {
  if (FHandle < 0) return false;
  char head[4];
  const ssize_t got = pread(FHandle, head, sizeof head, 0);
  const unsigned mode = OutputFileMode(FFolder, name, std::string_view(head, got > 0 ? static_cast<std::size_t>(got) : 0));
  if (fchmod(FHandle, mode) != 0) return false;
  if (lastWrite) {
    const timespec times[2] = {{0, UTIME_OMIT}, {*lastWrite, 0}};
    if (futimens(FHandle, times) != 0) return false;
  }
  // A file that takes the place of another is on disk before the rename, so a crash cannot
  // leave an empty file where a good one was. A new name has nothing to lose, and waiting for
  // the disk on every file of an archive would make extraction slower by half.
  struct stat old {};
  if (fstatat(FFolder, name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0 && fsync(FHandle) != 0) return false;
  if (renameat(FFolder, FName.c_str(), FFolder, name.c_str()) != 0) return false;
  close(FHandle);
  FHandle = -1;
  return true;
}

}  // namespace vyn::archive
