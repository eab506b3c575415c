#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "archive/CabinetExtract.h"
#include "platform/Folders.h"
#include "updater/ComponentProcessor.h"
#include "updater/ReplaceFile.h"

namespace vyn {

namespace fs = std::filesystem;

// A cabinet is extracted into a scratch folder of the staging folder first: a damaged one then
// touches nothing, and each of its files is put in place like any other.
bool TComponentProcessor::ExtractCab(const std::string& name, const std::string& staged,
                                     const std::string& staging, const std::string& target) {
  FLog.Write("Upd cab extract " + name + " " + target);
  if (!FileExists(staged)) return true;
  const std::string scratch = staging + "dezaziz-cabinet";
  std::error_code ignored;
  fs::remove_all(scratch, ignored);
  bool ok = mkdir(scratch.c_str(), 0700) == 0 && ExtractCabinet(staged, scratch + "/") == 0;
  if (!ok)
    FLog.Write("Upd cabextract failed");
  else
    ok = PlaceExtracted(scratch, target);
  fs::remove_all(scratch, ignored);
  if (ok) unlink(staged.c_str());
  return ok;
}

bool TComponentProcessor::PlaceExtracted(const std::string& scratch, const std::string& target) {
  std::vector<fs::path> extracted;
  std::error_code error;
  for (fs::recursive_directory_iterator it(scratch, error), end; !error && it != end;
       it.increment(error))
    extracted.push_back(it->path());
  if (error) return false;
  std::sort(extracted.begin(), extracted.end());
  for (const fs::path& path : extracted) {
    const fs::path relative = path.lexically_relative(scratch);
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return false;
    if (S_ISDIR(st.st_mode)) {
      if (!FTransaction.MakeFolders(target + relative.string())) return false;
      continue;
    }
    const std::string folder = target + relative.parent_path().string();
    if (!S_ISREG(st.st_mode) || !FTransaction.MakeFolders(folder)) return false;
    const std::string to = ReplacedFile(folder, relative.filename().string());
    if (!FTransaction.Place(to, [&](const std::string& incoming) {
          return WriteMoved(path.string(), incoming, to);
        }))
      return false;
  }
  return true;
}

}  // namespace vyn
