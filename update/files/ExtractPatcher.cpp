#include "platform/Folders.h"
#include "platform/Resources.h"
#include "update/VudIvazoz.h"
#include "update/files/ResourceFile.h"

namespace vyn {

void TVudIvazoz::ExtractPatcher() {
  // The program carries the tool packed, as it carries the updater.
  const std::optional<std::string_view> packed = FindResource("UTIL");
  if (!packed) return;
  const std::string folder = UseWinTempDir ? WinTempDir() : IncludeTrailingSlash(CurrentDir());
  UnpackResource(*packed, folder, "patcher.exe", "the patch tool");
}

}  // namespace vyn
