#include "update/log/LogMask.h"
#include "update/log/SystemError.h"
#include "update/VudIvazoz.h"

namespace vyn {

void TVudIvazoz::Error() {
  const int code = LastSystemError();
  if (code == 0) return;
  const std::string text = LastSystemErrorText();
  LogStatus(976, text, 1, code);
  if (!OnStatus && UpdateUpdate != wuuSilent)
    UserInterface().MessageBox(MaskUrlPassword(text), "Error", TMessageKind::mkError,
                               TMessageButtons::mbOK);
}

}  // namespace vyn
