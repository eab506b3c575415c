#include "update/control/PlaceholderText.h"

#include "platform/TextCase.h"

namespace vyn {
namespace {
constexpr int KMaxReplacements = 256;
}  // namespace

std::string ExpandPlaceholderText(const std::string& path,
                                  const std::function<std::string(const std::string&)>& folderOf) {
  std::string result = path;
  size_t open = std::string::npos;
  int replacements = 0;
  for (size_t i = 0; i < result.size(); ++i) {
    if (open == std::string::npos) {
      if (result[i] == '{') open = i;
    } else if (result[i] == '}') {
      const std::string dir = folderOf(UpperAscii(result.substr(open + 1, i - open - 1)));
      if (!dir.empty()) {
        result.replace(open, i - open + 1, dir);
        i = open;
        if (++replacements == KMaxReplacements) break;
      }
      open = std::string::npos;
    }
  }
  return result;
}

}  // namespace vyn
