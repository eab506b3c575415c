#include "updater/TargetPath.h"

#include "platform/Folders.h"
#include "platform/Registry.h"
#include "platform/TextCase.h"

namespace vyn {

namespace {

std::string MachineProgramFiles() {
  try {
    TRegistry registry(THiveRoot::HKEY_LOCAL_MACHINE);
    if (!registry.OpenKeyReadOnly("\\Software\\Microsoft\\Windows\\CurrentVersion")) return "";
    return registry.ReadString("ProgramFilesDir");
  } catch (const ERegistryException&) {
    // A value of another type or an unreadable hive: no folder, so the placeholder stays.
    return "";
  }
}

}  // namespace

std::string PlaceholderFolder(const std::string& name) {
  const std::string upper = UpperAscii(name);
  if (upper == "WIN") return WindowsDir();
  if (upper == "APP") return CurrentDir();
  if (upper == "SYS") return SystemDir();
  if (upper == "TMP") return IncludeTrailingSlash(SystemTempDir());
  if (upper == "PF") return MachineProgramFiles();
  return "";
}

std::string ExpandTargetPath(const std::string& text) {
  std::string result = ToLocalSeparators(text);
  size_t from = 0;
  for (;;) {
    const size_t open = result.find('{', from);
    if (open == std::string::npos) break;
    const size_t close = result.find('}', open + 1);
    if (close == std::string::npos) break;
    const std::string folder = PlaceholderFolder(result.substr(open + 1, close - open - 1));
    if (folder.empty()) {
      from = close + 1;
      continue;
    }
    const std::string inserted = NormalizeDirectory(folder);
    result.replace(open, close - open + 1, inserted);
    // Scanning resumes after the folder: a folder whose name holds "{APP}" must not expand again
    // and again.
    from = open + inserted.size();
  }
  return IncludeTrailingSlash(result);
}

}  // namespace vyn
