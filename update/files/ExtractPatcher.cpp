#include <cstdio>
#include <stdexcept>

#include "archive/LZExpand.h"
#include "platform/FileCreationMode.h"
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
  WriteResourceFile(*packed, folder, "patcher.ex_", 0666 & ~CurrentUmask(022), "the patch tool");
  if (ExpandLZFile(folder + "patcher.ex_") != folder + "patcher.exe") {
    std::remove((folder + "patcher.ex_").c_str());
    throw std::runtime_error("Cannot expand the patch tool in " + folder);
  }
}

}  // namespace vyn
