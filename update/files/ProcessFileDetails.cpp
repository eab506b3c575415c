#include <sys/stat.h>

#include <vector>

#include "update/VudIvazoz.h"
#include "update/control/DateTime.h"

namespace vyn {

namespace {
// The installed file is at least as new as the release date says the new one is.
bool InstalledIsCurrent(const std::string& path, TDateTime released) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && FileTimeToDateTime(st.st_mtime) >= released;
}
}  // namespace

int TVudIvazoz::ProcessFileDetails() {
  for (int i = 0; i < FFileList.Count();) {
    const TFileDescription& file = FFileList.Items(i);
    std::string newVersion = file.NewVersion;
    std::string localVersion = file.LocalVersion;
    LogStatus(971,
              (HideURLInLogFile ? URLtoFile(file.URL) : file.URL) + "[" + localVersion +
                  ",nv=" + newVersion + ",nd=" + file.NewDate + ",ns=" +
                  std::to_string(file.NewSize) + ",nc=" + std::to_string(file.NewCheckSum) + "]",
              0, 0);
    bool keep = true;
    if (!localVersion.empty() && !file.NewDate.empty()) {
      keep = !InstalledIsCurrent(localVersion, ParseDateTime(file.NewDate, file.NewTime));
    } else if (!CheckFile(newVersion, localVersion, file.NewSize, file.NewCheckSum)) {
      LogStatus(930, "", 0, 0);
      keep = false;
    } else if (OnFileVersionCheck && !file.NewCustomVer.empty()) {
      OnFileVersionCheck(*this, file.NewCustomVer, localVersion, keep);
    }
    if (keep)
      ++i;
    else
      FFileList.Delete(i);
  }

  if (OnGetFileList) {
    std::vector<std::string> list;
    for (int i = 0; i < FFileList.Count(); ++i) list.push_back(FFileList.Items(i).Description);
    OnGetFileList(*this, list);
    // Entries and files stay paired by position: an emptied entry goes with its file, unless
    // the file is mandatory.
    size_t entry = 0;
    int file = 0;
    while (entry < list.size() && file < FFileList.Count()) {
      if (list[entry].empty() && !FFileList.Items(file).Mandatory) {
        FFileList.Delete(file);
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(entry));
      } else {
        ++entry;
        ++file;
      }
    }
  }
  return FFileList.Count() == 0 ? -1 : 0;
}

}  // namespace vyn
