#include "archive/CabinetName.h"

#include <strings.h>

namespace vyn {

bool HasCabinetExtension(const std::string& path) {
  const std::size_t dot = path.rfind('.');
  const std::size_t slash = path.find_last_of("/\\");
  if (dot == std::string::npos || (slash != std::string::npos && slash > dot)) return false;
  return strcasecmp(path.c_str() + dot, ".CAB") == 0;
}

}  // namespace vyn
