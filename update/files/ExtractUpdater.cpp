#include <stdexcept>

#include "platform/Resources.h"
#include "update/VudIvazoz.h"
#include "update/files/ResourceFile.h"

namespace vyn {

void TVudIvazoz::ExtractUpdater() {
  const std::optional<std::string_view> packed = FindResource("UPD");
  if (!packed) throw std::runtime_error("This program carries no updater to hand over to");
  UnpackResource(*packed, WinTempDir(), "dezaziz.exe", "the updater");
}

}  // namespace vyn
