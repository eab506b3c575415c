#include "update/cli/CliEngine.h"

#include "platform/Folders.h"

namespace vyn::cli {

std::string TCliEngine::ConvertPrefix(const std::string& prefix) {
  if (prefix == "APP" && !AppDir.empty()) return NormalizeDirectory(AppDir);
  return TVudIvazoz::ConvertPrefix(prefix);
}

}  // namespace vyn::cli
