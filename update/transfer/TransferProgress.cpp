#include "update/log/Messages.h"
#include "update/VudIvazoz.h"

namespace vyn {

void TVudIvazoz::DoFileProgress(const std::string& FileName, int64_t Pos, int64_t Size) {
  if (FProgressForm) {
    const size_t slash = FileName.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? FileName : FileName.substr(slash + 1);
    UserInterface().ProgressUpdate(FormatMessage(977, name), Pos, Size);
  }
  if (OnFileProgress) OnFileProgress(*this, FileName, Pos, Size);
}

void TVudIvazoz::DoProgressCancel(bool& Cancel) {
  if (OnProgressCancel) OnProgressCancel(*this, Cancel);
  if (Cancel) LogStatus(964, "", 0, 0);
}

void TVudIvazoz::CustomProcess(const std::string& fn) {
  if (OnFileDownloaded) OnFileDownloaded(*this, fn);
}

}  // namespace vyn
