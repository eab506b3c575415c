#include "update/transfer/TransferTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/FileCreationMode.h"
#include "platform/FileMove.h"
#include "update/VudIvazoz.h"

namespace vyn {

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
  if (MoveFileReplacing(temporary, target, mode)) return true;
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
