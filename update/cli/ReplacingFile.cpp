#include "update/cli/ReplacingFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "platform/FileCreationMode.h"
#include "platform/TempFile.h"

namespace vyn::cli {

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::runtime_error(what + ": " + std::strerror(errno));
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

TReplacingFile::TReplacingFile(std::string target) : FTarget(std::move(target)) {
  FTemporary = GetTempFileName(FolderOf(FTarget), "new");
  if (FTemporary.empty()) Fail("cannot create a temporary file beside " + FTarget);
  FFile = TFileDescriptor(open(FTemporary.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC));
  if (FFile.Get() < 0) {
    const int error = errno;
    unlink(FTemporary.c_str());
    errno = error;
    Fail("cannot open " + FTemporary);
  }
}

TReplacingFile::~TReplacingFile() {
  if (!FTemporary.empty()) unlink(FTemporary.c_str());
}

void TReplacingFile::Write(const char* data, size_t size) {
  while (size > 0) {
    const ssize_t n = write(FFile.Get(), data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) Fail("cannot write " + FTarget);
    data += n;
    size -= static_cast<size_t>(n);
  }
}

void TReplacingFile::Commit() {
  if (fchmod(FFile.Get(), NewFileMode("", CurrentUmask(022))) != 0)
    Fail("cannot set the permissions of " + FTarget);
  if (fsync(FFile.Get()) != 0 || FFile.Close() != 0) Fail("cannot write " + FTarget);
  if (rename(FTemporary.c_str(), FTarget.c_str()) != 0) Fail("cannot write " + FTarget);
  FTemporary.clear();
}

}  // namespace vyn::cli
