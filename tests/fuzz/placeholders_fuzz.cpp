// Placeholder expansion over folders like the engine's, some of which hold placeholders
// themselves (a folder naming itself, two folders naming each other, one that doubles).
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "update/control/PlaceholderText.h"

using namespace vyn;

namespace {

std::string FolderOf(const std::string& name) {
  if (name == "APP") return "/opt/vyn";
  if (name == "WIN") return "/usr";
  if (name == "TMP") return "{TMP}/t";
  if (name == "DOC") return "{LAD}d";
  if (name == "LAD") return "{DOC}l";
  if (name == "PF") return "{PF}{PF}";
  if (name == "SYS") return "";
  return ".";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path(reinterpret_cast<const char*>(data), size);
  const std::string result = ExpandPlaceholderText(path, FolderOf);
  // Each of the bounded replacements adds at most the longest folder.
  if (result.size() > path.size() + 256 * 8) fuzz::Fail("expansion grew without bound");
  return 0;
}
