#include "updater/ComponentProcessor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "archive/CabinetExtract.h"
#include "archive/LZExpand.h"
#include "platform/Folders.h"
#include "updater/ComponentKind.h"
#include "updater/ReplaceFile.h"
#include "updater/RunAndWait.h"

namespace vyn {

namespace {

// The staged file of a component, found without regard to case; staging + name when missing.
std::string StagedFile(const std::string& staging, const std::string& name) {
  const std::string found = FindFileNoCase(staging, name);
  return found.empty() ? staging + name : found;
}

bool IsLinkOrSpecial(const std::string& path) {
  struct stat st {};
  return lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode);
}

void Pause500() { std::this_thread::sleep_for(std::chrono::milliseconds(500)); }

}  // namespace

void TComponentProcessor::ProcessComponent(const std::string& name, const std::string& staging,
                                           const std::string& target) {
  const std::string staged = StagedFile(staging, name);
  if (!IsAcceptableComponentName(name) || IsLinkOrSpecial(staged)) {
    FLog.Write("Upd refused component : " + name);
    return;
  }
  switch (ComponentKind(name)) {
    case TComponentKind::ckSuffixedCopy: CopySuffixed(name, staged, staging, target); break;
    case TComponentKind::ckComponentList: ProcessList(name, staged, staging); break;
    case TComponentKind::ckPatch: ApplyPatch(name, staged, target); break;
    case TComponentKind::ckCabinet: ExtractCab(name, staged, target); break;
    case TComponentKind::ckProgram: RunProgram(name, staged, target); break;
    case TComponentKind::ckLZFile: ExpandLZ(name, staged, target); break;
  }
}

void TComponentProcessor::CopySuffixed(const std::string& name, const std::string& staged,
                                       const std::string& staging, const std::string& target) {
  if (!FileExists(staged)) return;
  const std::string base = name.substr(0, name.size() - 4);
  const std::string from = staging + base + "_NEW";
  FLog.Write("Upd copying file : " + from + " to " + target + base);
  if (!CopyFileReplacing(staged, ReplacedFile(target, base)))
    FLog.Write("Upd copy error " + from + " to " + target + base);
}

void TComponentProcessor::ExtractCab(const std::string& name, const std::string& staged,
                                     const std::string& target) {
  FLog.Write("Upd cab extract " + name + " " + target);
  if (ExtractCabinet(staged, target) == 0)
    unlink(staged.c_str());
  else
    FLog.Write("Upd cabextract failed");
}

void TComponentProcessor::RunProgram(const std::string& name, const std::string& staged,
                                     const std::string& target) {
  FLog.Write("Upd execute " + name + " " + target);
  RunAndWait({staged});
  Pause500();
  unlink(staged.c_str());
}

void TComponentProcessor::ExpandLZ(const std::string& name, const std::string& staged,
                                   const std::string& target) {
  FLog.Write("Upd lzexpand " + name + " " + target);
  // Expanded beside the staged file, then moved over the file it replaces: that may be a
  // running program's, which is what the updater is for.
  const std::string expanded = ExpandLZFile(staged);
  if (expanded == staged) return;
  const std::string expandedName = std::filesystem::path(expanded).filename().string();
  FLog.Write("Upd lzexpand dest. filename " + expandedName);
  MoveFileKeepingMode(expanded, ReplacedFile(target, expandedName));
}

}  // namespace vyn
