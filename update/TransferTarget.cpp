#include "update/TransferTarget.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/TempFile.h"
#include "update/VudIvazoz.h"

namespace fs = std::filesystem;

namespace vyn {

namespace {
unsigned CurrentUmask() {
  // Read without changing it: umask() itself is process-wide and racy between threads.
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0) return static_cast<unsigned>(std::stoul(line.substr(6), nullptr, 8));
  return 022;
}

bool IsExecutableHead(const std::string& head) {
  return head.rfind("\x7F" "ELF", 0) == 0 || head.rfind("#!", 0) == 0;
}

std::string FolderOf(const std::string& path) {
  const fs::path parent = fs::path(path).parent_path();
  return parent.empty() ? "." : parent.string();
}
}  // namespace

unsigned TargetFileMode(const std::string& target, const std::string& head) {
  struct stat st {};
  if (stat(target.c_str(), &st) == 0 && S_ISREG(st.st_mode)) return st.st_mode & 07777;
  const unsigned mask = CurrentUmask();
  return (IsExecutableHead(head) ? 0777u : 0666u) & ~mask;
}

bool DeleteOldTarget(TVudIvazoz& engine, const std::string& target) {
  struct stat st {};
  if (lstat(target.c_str(), &st) != 0) return true;
  if (unlink(target.c_str()) == 0) return true;
  // The Windows read-only and hidden attributes stand for missing write permission here.
  chmod(target.c_str(), (st.st_mode & 07777) | S_IWUSR);
  const std::string folder = FolderOf(target);
  struct stat folderStat {};
  if (stat(folder.c_str(), &folderStat) == 0)
    chmod(folder.c_str(), (folderStat.st_mode & 07777) | S_IWUSR | S_IXUSR);
  if (unlink(target.c_str()) == 0) return true;
  engine.LogStatus(972, target, 19, 6);
  engine.AddToLog("Unable to delete file " + target);
  return false;
}

bool MoveToTarget(TVudIvazoz& engine, const std::string& temporary, const std::string& target,
                  unsigned mode) {
  chmod(temporary.c_str(), mode);
  bool moved = std::rename(temporary.c_str(), target.c_str()) == 0;
  if (!moved && errno == EXDEV) {
    // Another file system: copy beside the target first, so the target appears whole or not at all.
    const std::string beside = GetTempFileName(FolderOf(target), "WUPD");
    std::error_code ec;
    if (!beside.empty()) {
      fs::copy_file(temporary, beside, fs::copy_options::overwrite_existing, ec);
      moved = !ec && chmod(beside.c_str(), mode) == 0 &&
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
