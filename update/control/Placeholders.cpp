
#include "platform/Folders.h"
#include "update/VudIvazoz.h"
#include "platform/TextCase.h"

namespace vyn {
namespace {
// A folder that itself contains a placeholder is expanded again; this bounds the chain so that
// a folder naming itself cannot grow the text for ever.
constexpr int KMaxReplacements = 256;
}  // namespace

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
  size_t open = std::string::npos;
  int replacements = 0;
  for (size_t i = 0; i < result.size(); ++i) {
    if (open == std::string::npos) {
      if (result[i] == '{') open = i;
    } else if (result[i] == '}') {
      const std::string name = UpperAscii(result.substr(open + 1, i - open - 1));
      const std::string dir = ConvertPrefix(name);
      if (!dir.empty()) {
        result.replace(open, i - open + 1, dir);
        i = open;
        if (++replacements == KMaxReplacements) break;
      }
      open = std::string::npos;
    }
  }
  return result;
}

}  // namespace vyn
