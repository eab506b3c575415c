#include "update/control/DateTime.h"
#include "update/log/LogFile.h"
#include "update/log/LogMask.h"
#include "update/log/Messages.h"
#include "update/VudIvazoz.h"

namespace vyn {

void TVudIvazoz::LogStatus(int Id, const std::string& Text, int Status, int Error) {
  // Addresses may carry user or proxy credentials: neither the log nor the handlers see them.
  const std::string message = FormatMessage(Id, MaskUrlPassword(Text));
  if (Logging)
    AppendLogLine(FormatLogTimeStamp(NowDateTime()) + " : [" + std::to_string(Id) + "] " +
                  message + " (Status:" + std::to_string(Status) + ") (Error:" +
                  std::to_string(Error) + ")");
  if (OnStatus) OnStatus(*this, message, Status, Error);
  if (OnNumberedStatus) OnNumberedStatus(*this, Id, message, Status, Error);
}

void TVudIvazoz::AddToLog(const std::string& s) { AppendLogLine(MaskUrlPassword(s)); }

}  // namespace vyn
