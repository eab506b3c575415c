#include <stdexcept>

#include "update/VudIvazoz.h"
#include "update/actions/RichText.h"
#include "update/actions/StringList.h"
#include "update/run/RunSteps.h"

namespace vyn {

namespace {

bool CanFetchControlFile(const TVudIvazoz& engine) {
  return engine.HintConnect() != nullptr || engine.UpdateType == fileUpdate;
}

}  // namespace

bool TVudIvazoz::NewVersionAvailable(bool InitPath) {
  if (InitPath) ChangeToExecutableDir();
  FCancelled = false;
  if (StartConnection() != wrOK) return false;
  const bool result = WithConnectionClosedOnThrow(*this, [this] {
    if (UpdateType == ftpUpdate) {
      if (Host.empty()) throw std::runtime_error("No host specified");
      if (FTPConnect() == -1) Error();
    }
    bool available = false;
    if (CanFetchControlFile(*this) && GetControlFile() == wrOK) {
      const int code = DoVersionCheck();
      available = code != wrNoNewVersion;
      if (code == wrUnconditional) {
        if (GetFileDetails() > 0) ProcessFileDetails();
        available = FFileList.Count() > 0;
      }
      if (available && OnDownloadedWhatsNew) {
        if (auto text = GetWhatsNew()) {
          int res = 1;
          OnDownloadedWhatsNew(*this, *text, res);
        }
      }
    }
    return available;
  });
  StopConnection();
  return result;
}

std::optional<std::vector<std::string>> TVudIvazoz::NewWhatsNew(bool showdialog) {
  if (StartConnection() != wrOK) return std::nullopt;
  auto result = WithConnectionClosedOnThrow(*this, [&]() -> std::optional<std::vector<std::string>> {
    if (UpdateType == ftpUpdate && FTPConnect() == -1) Error();
    std::optional<std::vector<std::string>> lines;
    if (!CanFetchControlFile(*this) || GetControlFile() != wrOK ||
        DoVersionCheck() == wrNoNewVersion)
      return lines;
    auto stream = GetWhatsNewStream();
    if (!stream || stream->empty()) return lines;
    if (!IsRichText(*stream)) {
      lines = LoadStringList(*stream);
      if (OnDownloadedWhatsNew && !showdialog) {
        int res = 1;
        OnDownloadedWhatsNew(*this, *lines, res);
      }
      *stream = SaveStringList(*lines);
    }
    if (showdialog) ShowWhatsNew(*stream);
    return lines;
  });
  StopConnection();
  return result;
}

}  // namespace vyn
