#include <algorithm>

#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "updater/ComponentListEntries.h"
#include "updater/ComponentProcessor.h"
#include "updater/TargetPath.h"

namespace vyn {

bool TComponentProcessor::ProcessList(const std::string& name, const std::string& staged,
                                      const std::string& staging) {
  FLog.Write("Upd inf file: " + staging + name);
  if (std::find(FOpenLists.begin(), FOpenLists.end(), staged) != FOpenLists.end()) {
    FLog.Write("Upd refused component : " + name);
    return false;
  }
  const std::vector<TComponentListEntry> entries = ReadComponentList(TIniFile(staged));
  FOpenLists.push_back(staged);
  for (const TComponentListEntry& entry : entries) {
    FLog.Write("upd inf " + std::to_string(entry.Number) + " : " + entry.File + " " +
               entry.Target);
    if (!ProcessComponent(ToLocalSeparators(entry.File), staging, ExpandTargetPath(entry.Target))) {
      FOpenLists.pop_back();
      return false;
    }
  }
  FOpenLists.pop_back();
  return true;
}

}  // namespace vyn
