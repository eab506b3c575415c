
#include "platform/Folders.h"
#include "update/VudIvazoz.h"
#include "update/control/PlaceholderText.h"

namespace vyn {

std::string TVudIvazoz::ConvertPrefix(const std::string& prefix) {
  std::string dir;
  if (prefix == "WIN")
    dir = WindowsDir();
  else if (prefix == "SYS")
    dir = SystemDir();
  else if (prefix == "APP")
    dir = ExeDir();
  else if (prefix == "TMP")
    dir = WinTempDir();
  else if (prefix == "DOC")
    dir = DocumentsDir();
  else if (prefix == "PF")
    dir = ProgramFilesDir();
  else if (prefix == "LAD")
    dir = LocalAppDataDir();
  else if (prefix == "APPDATA")
    dir = CommonAppDataDir();
  dir = NormalizeDirectory(dir);
  return dir.empty() ? "." : dir;
}

std::string TVudIvazoz::ExpandPlaceholders(const std::string& path) {
  std::string result = path;
  if (OnConvertPrefix) OnConvertPrefix(*this, result);
  return ExpandPlaceholderText(result,
                               [this](const std::string& name) { return ConvertPrefix(name); });
}

}  // namespace vyn
