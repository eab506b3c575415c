#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "update/VudIvazoz.h"
#include "update/actions/ShowURL.h"
#include "update/actions/StartProgram.h"
#include "update/control/LineBreaks.h"

namespace vyn {

int TVudIvazoz::HandleActions() {
  const TIniFile ini(FControlFileName);
  int result = 0;

  const std::string message = ConvertBackslashN(ini.ReadString("action", "msg", ""));
  if (!message.empty()) {
    LogStatus(934, "", 3, 0);
    UserInterface().MessageBox(message, "Information", TMessageKind::mkInformation,
                               TMessageButtons::mbOK);
  }

  const std::string htmlDialog = ExpandPlaceholders(ini.ReadString("action", "htmldlg", ""));
  if (!htmlDialog.empty()) {
    LogStatus(935, "", 7, 0);
    ShowHTMLDialog(htmlDialog);
  }

  const std::string program =
      ToLocalSeparators(ExpandPlaceholders(ini.ReadString("action", "runbefore", "")));
  std::string params = ini.ReadString("action", "runbeforeparam", "");
  DoSetAppParamBefore(params);
  StartProgram(program, params);

  if (OnCustomProcess)
    OnCustomProcess(*this, ini.ReadString("custom", "processmsg", ""),
                    ini.ReadString("custom", "processparam", ""));

  const std::string page = ExpandPlaceholders(ini.ReadString("action", "showURL", ""));
  if (!page.empty()) {
    LogStatus(942, "", 3, 0);
    ShowURL(page, ProxyUserID, ProxyPassword);
  }

  const std::string query = ConvertBackslashN(ini.ReadString("action", "query", ""));
  if (!query.empty()) {
    LogStatus(936, "", 3, 0);
    if (UserInterface().MessageBox(query, "Information", TMessageKind::mkInformation,
                                   TMessageButtons::mbYesNo) != TMessageResult::mrYes) {
      FAppClose = false;
      result = -1;
    }
  }

  if (FCancelled) result = -1;
  return result;
}

}  // namespace vyn
