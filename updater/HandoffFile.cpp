#include "updater/HandoffFile.h"

#include <unistd.h>

#include <algorithm>

#include "platform/Folders.h"
#include "platform/IniFile.h"

namespace vyn {

namespace {

// A day is more than any program needs to show it starts, and keeps the wait in range.
constexpr int KLongestStartCheck = 24 * 60 * 60;

std::string HandoffPath() {
  const std::string documents = DocumentsDir();
  return documents.empty() ? "WUPDATE.INI" : IncludeTrailingSlash(documents) + "WUPDATE.INI";
}

THandoff ReadHandoffAt(const std::string& path) {
  const TIniFile file(path);
  THandoff handoff;
  handoff.LogFileName = file.ReadString("CONFIG", "LOGFILENAME", handoff.LogFileName);
  handoff.StartCheck =
      std::clamp(file.ReadInteger("CONFIG", "STARTCHECK", 0), 0, KLongestStartCheck);
  return handoff;
}

}  // namespace

THandoff ReadHandoff() { return ReadHandoffAt(HandoffPath()); }

THandoff TakeHandoff() {
  const std::string path = HandoffPath();
  const THandoff handoff = ReadHandoffAt(path);
  unlink(path.c_str());
  return handoff;
}

}  // namespace vyn
