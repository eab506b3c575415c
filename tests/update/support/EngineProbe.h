#pragma once
// Test helpers for the engine: a subclass that opens its run state to the tests, and a
// recorder of every numbered message.

#include <functional>
#include <string>
#include <vector>

#include "update/VudIvazoz.h"

namespace vyn::test {

struct TStatusRecord {
  int Id;
  std::string Text;
  int Status;
  int Error;
};

class TEngineProbe : public TVudIvazoz {
public:
  TEngineProbe() {
    OnNumberedStatus = [this](TVudIvazoz&, int id, const std::string& text, int status,
                              int error) { Messages.push_back({id, text, status, error}); };
  }

  std::vector<TStatusRecord> Messages;

  // Numbers of the messages received, in order.
  std::vector<int> MessageIds() const {
    std::vector<int> ids;
    for (const auto& m : Messages) ids.push_back(m.Id);
    return ids;
  }
  bool HasMessage(int id) const {
    for (const auto& m : Messages)
      if (m.Id == id) return true;
    return false;
  }
  const TStatusRecord* FindMessage(int id) const {
    for (const auto& m : Messages)
      if (m.Id == id) return &m;
    return nullptr;
  }

  // Stands in for the check of the application folder when set.
  std::function<TAppFolderRights()> FolderRights;
  TAppFolderRights AppFolderRights() const override {
    return FolderRights ? FolderRights() : TVudIvazoz::AppFolderRights();
  }

  // Lets the checks run on a control file already on disk.
  void UseControlFile(const std::string& path) { FControlFileName = path; }
  using TVudIvazoz::IsApplicationComponent;

  const std::string& AppName() const { return FAppName; }
  const std::string& AppParam() const { return FAppParam; }
  const std::string& AppComps() const { return FAppComps; }
  bool AppClose() const { return FAppClose; }
  bool SaveUpdate() const { return FSaveUpdate; }
  const std::string& LocalFileDateCheck() const { return FLocalFileDateCheck; }
};

}  // namespace vyn::test
