#include "SzddExpansion.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "TestEnvironment.h"
#include "archive/LZExpand.h"

namespace vyn::test {

namespace {
std::string FreshFolder() {
  static int counter = 0;
  const std::string folder = TestRoot() + "/szdd-" + std::to_string(++counter);
  std::filesystem::create_directories(folder);
  return folder;
}
}  // namespace

std::optional<std::string> ExpandWithLZFile(const std::string& packed) {
  const std::string folder = FreshFolder();
  const std::string expanded = folder + "/data.bi" + (packed.size() > 9 ? packed.substr(9, 1) : "");
  WriteFileText(folder + "/data.bi_", packed);
  if (ExpandLZFile(folder + "/data.bi_") != expanded) return std::nullopt;
  return ReadFileText(expanded);
}

bool HaveMsexpand() { return std::system("command -v msexpand >/dev/null 2>&1") == 0; }

std::optional<std::string> ExpandWithMsexpand(const std::string& packed) {
  const std::string folder = FreshFolder();
  WriteFileText(folder + "/in", packed);
  const std::string command = "msexpand < '" + folder + "/in' > '" + folder + "/out' 2>/dev/null";
  if (std::system(command.c_str()) != 0) return std::nullopt;
  return ReadFileText(folder + "/out");
}

std::size_t MscompressSize(const std::string& data) {
  const std::string folder = FreshFolder();
  WriteFileText(folder + "/data", data);
  if (std::system(("mscompress '" + folder + "/data'").c_str()) != 0)
    throw std::runtime_error("mscompress failed");
  return std::filesystem::file_size(folder + "/data_");
}

}  // namespace vyn::test
