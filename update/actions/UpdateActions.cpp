#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "update/VudIvazoz.h"
#include "update/actions/StartProgram.h"

namespace vyn {

int TVudIvazoz::UpdateActions() {
  if (FCancelled) return -1;

  if (PostUpdateInfo.Enabled) {
    bool allowPost = true;
    if (OnBeforePost) OnBeforePost(*this, allowPost);
    if (allowPost) {
      DoPostUpdateInfo();
      bool allowPostResult = true;
      if (OnProcessPostResult) OnProcessPostResult(*this, allowPostResult);
      if (!allowPostResult) return -1;
    }
  }

  if (FSaveUpdate) UpdateDatePut(NewVersionDate());

  const TIniFile ini(FControlFileName);
  const std::string updateURL = ini.ReadString("action", "updateURL", "");
  if (!updateURL.empty()) {
    LogStatus(941, "", 3, 0);
    URLPut(updateURL);
  }

  if (Utility && ApplyPatch) ExtractPatcher();

  const std::string program =
      ToLocalSeparators(ExpandPlaceholders(ini.ReadString("action", "runafter", "")));
  std::string params = ini.ReadString("action", "runafterparam", "");
  DoSetAppParamAfter(params);
  StartProgram(program, params);

  LogStatus(948, "", 3, 0);
  return 0;
}

}  // namespace vyn
