#pragma once
// Applying one component from the staging folder, by its kind.

#include <string>
#include <vector>

#include "updater/ApplyTransaction.h"
#include "updater/UpdaterLog.h"

namespace vyn {

class TComponentProcessor {
public:
  TComponentProcessor(const TUpdaterLog& log, TApplyTransaction& transaction)
      : FLog(log), FTransaction(transaction) {}

  // `staging` and `target` end with '/' (target may be "": the current folder). Every file is
  // put in place through the transaction. False when the component could not be applied: it
  // is not a plain name of the staging folder, its staged file is no plain file, or a file of
  // it could not be written. A component that is not staged, and what a program to run does,
  // count as applied.
  bool ProcessComponent(const std::string& name, const std::string& staging,
                        const std::string& target);

private:
  bool CopySuffixed(const std::string& name, const std::string& staged, const std::string& staging,
                    const std::string& target);
  bool ProcessList(const std::string& name, const std::string& staged, const std::string& staging);
  bool ApplyPatch(const std::string& name, const std::string& staged, const std::string& target);
  bool ExtractCab(const std::string& name, const std::string& staged, const std::string& staging,
                  const std::string& target);
  bool PlaceExtracted(const std::string& scratch, const std::string& target);
  void RunProgram(const std::string& name, const std::string& staged, const std::string& target);
  bool ExpandLZ(const std::string& name, const std::string& staged, const std::string& target);

  const TUpdaterLog& FLog;
  TApplyTransaction& FTransaction;
  std::vector<std::string> FOpenLists;  // lists being read, so one naming itself stops there
};

}  // namespace vyn
