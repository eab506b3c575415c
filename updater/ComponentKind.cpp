#include "updater/ComponentKind.h"

#include "platform/TextCase.h"

namespace vyn {

TComponentKind ComponentKind(const std::string& name) {
  if (name.size() >= 4 && UpperAscii(name.substr(name.size() - 4)) == "_NEW")
    return TComponentKind::ckSuffixedCopy;
  const std::string extension = UpperExtension(name);
  if (extension == ".INF") return TComponentKind::ckComponentList;
  if (extension == ".PAT") return TComponentKind::ckPatch;
  if (extension == ".CAB") return TComponentKind::ckCabinet;
  if (extension == ".EXE") return TComponentKind::ckProgram;
  return TComponentKind::ckLZFile;
}

bool IsAcceptableComponentName(const std::string& name) {
  if (name.empty() || name == "." || name.find_first_of("/\\") != std::string::npos ||
      name.find("..") != std::string::npos)
    return false;
  return ComponentKind(name) != TComponentKind::ckSuffixedCopy || name.size() > 4;
}

}  // namespace vyn
