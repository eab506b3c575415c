#pragma once
// Applying one component from the staging folder, by its kind.

#include <string>
#include <vector>

#include "updater/UpdaterLog.h"

namespace vyn {

class TComponentProcessor {
public:
  explicit TComponentProcessor(const TUpdaterLog& log) : FLog(log) {}

  // `staging` and `target` end with '/' (target may be "": the current folder). A name that is
  // not a plain name of the staging folder, or whose staged file is not a plain file, is
  // refused.
  void ProcessComponent(const std::string& name, const std::string& staging,
                        const std::string& target);

private:
  void CopySuffixed(const std::string& name, const std::string& staged, const std::string& staging,
                    const std::string& target);
  void ProcessList(const std::string& name, const std::string& staged, const std::string& staging);
  void ApplyPatch(const std::string& name, const std::string& staged, const std::string& target);
  void ExtractCab(const std::string& name, const std::string& staged, const std::string& target);
  void RunProgram(const std::string& name, const std::string& staged, const std::string& target);
  void ExpandLZ(const std::string& name, const std::string& staged, const std::string& target);

  const TUpdaterLog& FLog;
  std::vector<std::string> FOpenLists;  // lists being read, so one naming itself stops there
};

}  // namespace vyn
