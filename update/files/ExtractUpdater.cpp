#include <cstdio>
#include <stdexcept>

#include "archive/LZExpand.h"
#include "platform/FileCreationMode.h"
#include "platform/Resources.h"
#include "update/VudIvazoz.h"
#include "update/files/ResourceFile.h"

namespace vyn {

void TVudIvazoz::ExtractUpdater() {
  const std::optional<std::string_view> packed = FindResource("UPD");
  if (!packed) throw std::runtime_error("This program carries no updater to hand over to");
  const std::string folder = WinTempDir();
  WriteResourceFile(*packed, folder, "dezaziz.ex_", 0666 & ~CurrentUmask(022), "the updater");
  if (ExpandLZFile(folder + "dezaziz.ex_") != folder + "dezaziz.exe") {
    std::remove((folder + "dezaziz.ex_").c_str());
    throw std::runtime_error("Cannot expand the updater in " + folder);
  }
}

}  // namespace vyn
