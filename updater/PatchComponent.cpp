#include <unistd.h>

#include "platform/Folders.h"
#include "updater/ComponentProcessor.h"
#include "updater/ReplaceFile.h"
#include "updater/RunAndWait.h"

namespace vyn {

namespace {

// The file a patch applies to: the patch's name with ".exe" for its extension, or without any
// extension as programs are named here, looked up in that order without regard to case.
std::string PatchTarget(const std::string& name, const std::string& target) {
  const size_t dot = name.rfind('.');
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  for (const std::string& candidate : {stem + ".exe", stem}) {
    const std::string found = FindFileNoCase(target, candidate);
    if (!found.empty()) return found;
  }
  return target + stem + ".exe";
}

}  // namespace

// The tool patches a copy of the file, which then replaces it like any new file: a tool still
// running after the updater was killed can only change that copy.
bool TComponentProcessor::ApplyPatch(const std::string& name, const std::string& staged,
                                     const std::string& target) {
  if (!FileExists(staged)) return true;
  // The tool lies beside the updater, where the engine wrote both: a patcher.exe found through
  // PATH could be anyone's.
  const std::string tool = ExeDir() + "/patcher.exe";
  const std::string patched = PatchTarget(name, target);
  const bool applied = FTransaction.Place(patched, [&](const std::string& incoming) {
    if (!WriteCopy(patched, incoming, patched)) return false;
    if (!FLog.Logging()) return RunAndWait({tool, staged, incoming});
    const int log = FLog.OpenForAppend();
    const bool ok = RunAndWait({tool, "-v", staged, incoming}, log);
    if (log >= 0) close(log);
    return ok;
  });
  if (applied) unlink(staged.c_str());
  return applied;
}

}  // namespace vyn
