#include "update/transfer/TransferTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/FileCreationMode.h"
#include "platform/TempFile.h"
#include "update/VudIvazoz.h"

namespace fs = std::filesystem;

namespace vyn {

namespace {
// Copies `from` into the empty file `to` that this process just made, without following a
// link that may have replaced it since.
bool CopyBeside(const std::string& from, const std::string& to, unsigned mode) {
  const int in = open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
  if (in < 0) return false;
  const int out = open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | O_NOFOLLOW);
  bool ok = out >= 0;
  char block[65536];
  while (ok) {
    const ssize_t n = read(in, block, sizeof block);
    if (n == 0) break;
    ok = n > 0 && write(out, block, static_cast<size_t>(n)) == n;
  }
  ok = ok && fchmod(out, mode) == 0 && fsync(out) == 0;
  if (out >= 0 && close(out) != 0) ok = false;
  close(in);
  return ok;
}

std::string FolderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}
}  // namespace

unsigned TargetFileMode(const std::string& target, const std::string& head) {
  // Only a file that is really there hands on its mode: a link's target is someone else's.
  struct stat st {};
  if (lstat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  return NewFileMode(head, CurrentUmask(022));
}

bool DeleteOldTarget(TVudIvazoz& engine, const std::string& target) {
  struct stat st {};
  if (lstat(target.c_str(), &st) != 0) return true;
  // unlink removes a link itself, never what it points to.
  if (unlink(target.c_str()) == 0) return true;
  // The Windows read-only and hidden attributes stand for missing write permission here. Only
  // a plain file is made writable, and never through a link; a folder's mode is never changed.
  if (S_ISREG(st.st_mode)) {
    fchmodat(AT_FDCWD, target.c_str(), (st.st_mode & 07777) | S_IWUSR, AT_SYMLINK_NOFOLLOW);
    if (unlink(target.c_str()) == 0) return true;
  }
  engine.LogStatus(972, target, 19, 6);
  engine.AddToLog("Unable to delete file " + target);
  return false;
}

bool MoveToTarget(TVudIvazoz& engine, const std::string& temporary, const std::string& target,
                  unsigned mode) {
  fchmodat(AT_FDCWD, temporary.c_str(), mode, AT_SYMLINK_NOFOLLOW);
  bool moved = std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!moved && errno == EXDEV) {
    // Another file system: copy beside the target first, so the target appears whole or not at all.
    const std::string beside = GetTempFileName(FolderOf(target), "WUPD");
    if (!beside.empty()) {
      moved = CopyBeside(temporary, beside, mode) &&
              std::rename(beside.c_str(), target.c_str()) == 0;
      if (!moved) std::remove(beside.c_str());
      else std::remove(temporary.c_str());
    }
  }
  if (moved) return true;
  engine.LogStatus(973, temporary + " to " + target, 19, 7);
  engine.AddToLog("Unable to rename file " + temporary + " to " + target);
  DiscardTemporary(engine, temporary);
  return false;
}

void DiscardTemporary(TVudIvazoz& engine, const std::string& temporary) {
  if (std::remove(temporary.c_str()) != 0 && errno != ENOENT)
    engine.AddToLog("Unable to delete file " + temporary);
}

}  // namespace vyn
