#include "update/VudIvazoz.h"

#include <stdexcept>

#include "platform/Folders.h"
#include "platform/PrivateTempDir.h"
#include "update/log/LogFile.h"

namespace vyn {

const char* ResultName(int result) {
  static const char* const names[] = {
      "wrOK",          "wrNotConnected",  "wrCannotOpen",     "wrDialFailed", "wrNoControlFile",
      "wrBadSignature", "wrNewByDate",    "wrNoNewVersion",   "wrUnconditional",
      "wrNewBySize",   "wrNewByChecksum", "wrNewByVersion",   "wrCustomValidated"};
  return result >= 0 && result <= 12 ? names[result] : "";
}

TVudIvazoz::TVudIvazoz()
    : FSilentUserInterface(std::make_unique<TSilentUserInterface>()) {
  FUserInterface = FSilentUserInterface.get();
  SetLogFileName("WUPDATE.LOG");
}

TVudIvazoz::~TVudIvazoz() {
  // A worker still running uses this engine: stop it and wait for it.
  if (FThread.joinable()) {
    Cancel();
    FThread.join();
  }
}

void TVudIvazoz::SetLogFileName(const std::string& name) {
  FLogFileName = name;
  SetProcessLogFileName(name);
}

std::string TVudIvazoz::Version() const {
  constexpr uint32_t KVersion = 0x02030001;
  return std::to_string(KVersion >> 24) + "." + std::to_string((KVersion >> 16) & 0xFF) + "." +
         std::to_string((KVersion >> 8) & 0xFF) + "." + std::to_string(KVersion & 0xFF);
}

void TVudIvazoz::Notification(const TVudIvazozUtility* removed) {
  if (removed != nullptr && removed == Utility) Utility = nullptr;
}

void TVudIvazoz::SetUserInterface(IVudUserInterface* ui) {
  FUserInterface = ui != nullptr ? ui : FSilentUserInterface.get();
}

void TVudIvazoz::DoSuccess() {
  if (OnSuccess) OnSuccess(*this);
}

std::string TVudIvazoz::WinTempDir() const {
  if (!UseWinTempDir) return IncludeTrailingSlash(ToLocalSeparators(TempDirectory));
  // The system folder is shared: staging there would let another user plant a name first.
  const std::string dir = PrivateTempDir();
  if (dir.empty())
    throw std::runtime_error("Cannot make a private temporary folder in " + SystemTempDir());
  return IncludeTrailingSlash(dir);
}

}  // namespace vyn
