#include "updater/ComponentProcessor.h"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

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

bool TComponentProcessor::ProcessComponent(const std::string& name, const std::string& staging,
                                           const std::string& target) {
  const std::string staged = StagedFile(staging, name);
  if (!IsAcceptableComponentName(name) || IsLinkOrSpecial(staged)) {
    FLog.Write("Upd refused component : " + name);
    return false;
  }
  switch (ComponentKind(name)) {
    case TComponentKind::ckSuffixedCopy: return CopySuffixed(name, staged, staging, target);
    case TComponentKind::ckComponentList: return ProcessList(name, staged, staging);
    case TComponentKind::ckPatch: return ApplyPatch(name, staged, target);
    case TComponentKind::ckCabinet: return ExtractCab(name, staged, staging, target);
    case TComponentKind::ckProgram: RunProgram(name, staged, target); return true;
    case TComponentKind::ckLZFile: return ExpandLZ(name, staged, target);
  }
  return false;
}

bool TComponentProcessor::CopySuffixed(const std::string& name, const std::string& staged,
                                       const std::string& staging, const std::string& target) {
  if (!FileExists(staged)) return true;
  const std::string base = name.substr(0, name.size() - 4);
  const std::string from = staging + base + "_NEW";
  FLog.Write("Upd copying file : " + from + " to " + target + base);
  const std::string to = ReplacedFile(target, base);
  if (FTransaction.Place(to, [&](const std::string& incoming) {
        return WriteCopy(staged, incoming, to);
      }))
    return true;
  FLog.Write("Upd copy error " + from + " to " + target + base);
  return false;
}

// What the program does is beyond the journal, and its exit code carries no meaning: setup
// programs report success in more ways than 0.
void TComponentProcessor::RunProgram(const std::string& name, const std::string& staged,
                                     const std::string& target) {
  FLog.Write("Upd execute " + name + " " + target);
  RunAndWait({staged});
  Pause500();
  unlink(staged.c_str());
}

bool TComponentProcessor::ExpandLZ(const std::string& name, const std::string& staged,
                                   const std::string& target) {
  FLog.Write("Upd lzexpand " + name + " " + target);
  // Expanded beside the staged file, then moved over the file it replaces: that may be a
  // running program's, which is what the updater is for.
  const std::string expanded = ExpandLZFile(staged);
  if (expanded == staged) return true;
  const std::string expandedName = std::filesystem::path(expanded).filename().string();
  FLog.Write("Upd lzexpand dest. filename " + expandedName);
  const std::string to = ReplacedFile(target, expandedName);
  return FTransaction.Place(to, [&](const std::string& incoming) {
    return WriteMoved(expanded, incoming, to);
  });
}

}  // namespace vyn
