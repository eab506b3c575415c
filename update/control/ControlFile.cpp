#include <cstdio>

#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "update/VudIvazoz.h"

namespace vyn {

std::string TVudIvazoz::GetControlFileURL() {
  std::string address = URLGet();
  if (address.empty()) address = URL;
  return ExpandPlaceholders(address);
}

int TVudIvazoz::GetControlFile() {
  FCancelled = false;
  int result = wrOK;
  const std::string address = GetControlFileURL();
  if (address.empty() || !URLGetFile(HintConnect(), address, WinTempDir(), false)) {
    LogStatus(925, "", 2, 0);
    return wrNoControlFile;
  }
  LogStatus(926, "", 3, 0);
  const std::string controlFile = WinTempDir() + URLtoFile(address);
  // With a key, nothing of a control file is read before its signature holds, and a refused
  // one is gone before any later step could open it.
  if (!PublicKey.empty() && !AcceptSignedControlFile(address, controlFile)) {
    LogStatus(927, "", 11, 4);
    std::remove(controlFile.c_str());
    FControlFileName.clear();
    FAppClose = false;
    return wrBadSignature;
  }
  FControlFileName = controlFile;

  const TIniFile ini(FControlFileName);
  if (SignatureCheck && ini.ReadString("update", "signature", "") != Signature) {
    LogStatus(927, "", 11, 4);
    result = wrBadSignature;
  }
  FAppClose = ini.ReadInteger("application", "appupdate", 0) == 1;
  FAppName = ToLocalSeparators(ExpandPlaceholders(ini.ReadString("application", "appname", "")));
  FAppParam = ini.ReadString("application", "appparam", "");
  if (FAppName.empty()) FAppClose = false;
  if (OnSetAppParams) OnSetAppParams(*this, FAppParam);
  if (FAppParam.empty()) FAppParam = " ";
  FAppComps = ToLocalSeparators(ExpandPlaceholders(ini.ReadString("application", "appcomps", "")));
  FSilentRestart = ini.ReadInteger("application", "silentrestart", 0) == 1;
  return result;
}

}  // namespace vyn
