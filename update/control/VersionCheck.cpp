#include <sys/stat.h>

#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "update/control/DateTime.h"
#include "update/control/LineBreaks.h"
#include "update/VudIvazoz.h"

namespace vyn {

int TVudIvazoz::DoVersionCheck() {
  const TIniFile ini(FControlFileName);
  int result = wrNoNewVersion;
  FUpdateDescription = ConvertBackslashN(ini.ReadString("update", "descr", ""));

  const std::string date = ini.ReadString("update", "date", "");
  if (!date.empty()) {
    LogStatus(928, "", 3, 0);
    FNewVersionDate = ParseDateTime(date, ini.ReadString("update", "time", ""));
    FLocalFileDateCheck =
        ToLocalSeparators(ExpandPlaceholders(ini.ReadString("update", "localversion", "")));
    FCurVersionDate = UpdateDateGet();
    if (FCurVersionDate >= FNewVersionDate) {
      LogStatus(930, "", 4, 0);
      result = wrNoNewVersion;
    } else {
      LogStatus(929, FormatShortDate(FNewVersionDate), 5, 0);
      result = wrNewByDate;
    }
  }

  if (!ini.ReadString("update", "unconditional", "").empty() && result == wrNoNewVersion)
    result = wrUnconditional;

  if (result == wrNoNewVersion) {
    std::string newVersion = ini.ReadString("update", "newversion", "");
    const int newSize = ini.ReadInteger("update", "newsize", 0);
    std::string localVersion =
        ToLocalSeparators(ExpandPlaceholders(ini.ReadString("update", "localversion", "")));
    const int newChecksum = ini.ReadInteger("update", "newchecksum", -1);
    if ((!newVersion.empty() || newSize > 0 || newChecksum != -1) && !localVersion.empty()) {
      if (newChecksum != -1) {
        result = wrNewByChecksum;
        LogStatus(931, "", 3, 0);
      } else if (newSize > 0) {
        result = wrNewBySize;
        LogStatus(932, "", 3, 0);
      } else {
        result = wrNewByVersion;
        LogStatus(933, "", 3, 0);
      }
      if (CheckFile(newVersion, localVersion, newSize, newChecksum)) {
        LogStatus(929, newVersion, 5, 0);
      } else {
        LogStatus(930, "", 4, 0);
        result = wrNoNewVersion;
      }
    }
    FNewVersionInfo = newVersion;
    FCurVersionInfo = localVersion;
  }

  if (OnCustomValidate) {
    const std::string msg = ini.ReadString("custom", "validatemsg", "");
    const std::string param = ini.ReadString("custom", "validateparam", "");
    bool allow = result != wrNoNewVersion;
    OnCustomValidate(*this, msg, param, allow);
    result = allow ? wrCustomValidated : wrNoNewVersion;
  }
  return result;
}

bool TVudIvazoz::CheckFile(std::string& NewVersion, std::string& LocalFile, int Size,
                           int Checksum) {
  if (NewVersion.empty() && Size == 0 && Checksum == -1) return true;
  if (LocalFile.empty() && VersionCheck == vcUpdateOnly) return true;
  struct stat st {};
  const bool exists = ::stat(LocalFile.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (!exists && VersionCheck == vcAlways) return true;
  if (!exists && VersionCheck == vcUpdateOnly) return false;

  if (Checksum != -1) {
    int32_t local = UseCRC32 ? FileCRC32(LocalFile) : FileByteSum(LocalFile);
    if (local == 0) local = Checksum;  // a zero checksum of an existing file counts as a match
    const bool result = local != Checksum && (local != 0 || VersionCheck == vcAlways);
    LogStatus(944,
              "Checksum compare of " + LocalFile + ":" + std::to_string(local) + ":" +
                  std::to_string(Checksum),
              3, 0);
    return result;
  }
  if (Size > 0) {
    const int32_t local = FileSize32(LocalFile);
    return local != Size && (local > 0 || VersionCheck == vcAlways);
  }

  const TVudVersion installed = GetFileVersion(LocalFile);
  const TVudVersion fresh = ParseVersion(NewVersion);
  LogStatus(944,
            "Version compare of " + LocalFile + ":" + FormatVersion(installed) + " with " +
                NewVersion + ":" + FormatVersion(fresh),
            3, 0);
  if (fresh.VersionMS == 0xFFFFFFFFu || fresh.VersionLS == 0xFFFFFFFFu) return false;
  if ((installed.VersionMS == 0xFFFFFFFFu || installed.VersionLS == 0xFFFFFFFFu) &&
      VersionCheck == vcUpdateOnly)
    return false;
  LocalFile = FormatVersion(installed);
  NewVersion = FormatVersion(fresh);
  const auto newMS = static_cast<int32_t>(fresh.VersionMS);
  const auto oldMS = static_cast<int32_t>(installed.VersionMS);
  return newMS > oldMS ||
         (newMS == oldMS &&
          static_cast<int32_t>(fresh.VersionLS) > static_cast<int32_t>(installed.VersionLS));
}

}  // namespace vyn
