#include "platform/FileCreationMode.h"

#include <cstdlib>
#include <fstream>
#include <string>

namespace vyn {

unsigned CurrentUmask(unsigned fallback) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("Umask:", 0) == 0)
      return static_cast<unsigned>(std::strtoul(line.c_str() + 6, nullptr, 8)) & 0777;
  return fallback;
}

unsigned NewFileMode(std::string_view head, unsigned mask) {
  const bool executable = head.substr(0, 4) == "\x7F" "ELF" || head.substr(0, 2) == "#!";
  return (executable ? 0777u : 0666u) & ~mask;
}

}  // namespace vyn
