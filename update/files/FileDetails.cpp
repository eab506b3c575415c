#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "update/VudIvazoz.h"

namespace vyn {

namespace {
// No real update has more files; a larger count only costs memory and requests.
constexpr int KMaxFileCount = 10000;
}  // namespace

int TVudIvazoz::GetFileDetails() {
  FFileList.Clear();
  const TIniFile ini(FControlFileName);
  const int count = ini.ReadInteger("files", "count", 0);
  if (count < 0 || count > KMaxFileCount) {
    LogStatus(979, std::to_string(count) + " (0 to " + std::to_string(KMaxFileCount) + ")", 11, 0);
    return 0;
  }
  if (count > 0) LogStatus(943, "", 3, 0);
  for (int k = 1; k <= count; ++k) {
    const std::string section = "file" + std::to_string(k);
    const auto text = [&](const char* key) { return ini.ReadString(section, key, ""); };
    const auto flag = [&](const char* key, int byDefault) {
      return ini.ReadInteger(section, key, byDefault) == 1;
    };
    TFileDescription& file = FFileList.Add();
    file.Compressed = flag("compressed", 0);
    file.NewCheckSum = ini.ReadInteger(section, "newchecksum", -1);
    file.NewSize = ini.ReadInteger(section, "newsize", 0);
    file.URL = ExpandPlaceholders(text("url"));
    std::string target = ToLocalSeparators(ExpandPlaceholders(text("targetdir")));
    if (!target.empty() && target.back() != '/') target += '/';
    file.TargetDir = target;
    file.LocalVersion = ToLocalSeparators(ExpandPlaceholders(text("localversion")));
    file.NewVersion = text("newversion");
    file.Description = text("descr");
    file.NewCustomVer = text("customversion");
    file.FileSize = ini.ReadInteger(section, "filesize", 0);
    file.NewDate = text("date");
    file.NewTime = text("time");
    file.Mandatory = flag("mandatory", 0);
    file.Preselect = flag("preselect", 1);
    file.Hidden = flag("hidden", 0);
    file.Sha256 = text("sha256");
  }
  return count;
}

}  // namespace vyn
