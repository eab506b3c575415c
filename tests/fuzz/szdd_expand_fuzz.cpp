// SZDD expansion of any bytes as a staged "input.tx_", sometimes beside a file that differs
// only in case. The result is the input left alone or one sibling that took its place.
#include <strings.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "ScratchFolder.h"
#include "archive/LZExpand.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input = fuzz::WriteScratchFile("input.tx_", data, size);
  const bool sibling = size % 2 == 1;
  if (sibling) fuzz::WriteScratchFile("INPUT.TXT", data, 0);
  const std::string result = ExpandLZFile(input);
  const size_t entries = fuzz::ScratchEntries().size();
  if (result == input) {
    if (!std::filesystem::exists(input)) fuzz::Fail("the input vanished without an expansion");
    if (entries != 1u + sibling) fuzz::Fail("a refused expansion left a file");
  } else {
    if (std::filesystem::path(result).parent_path() != fuzz::ScratchFolder())
      fuzz::Fail("expanded outside the input's folder: " + result);
    const std::string name = std::filesystem::path(result).filename().string();
    // A file of the expanded name in another case is the one replaced.
    const bool replacedSibling = sibling && strcasecmp(name.c_str(), "INPUT.TXT") == 0;
    if (replacedSibling && name != "INPUT.TXT") fuzz::Fail("the sibling in another case was kept");
    if (std::filesystem::exists(input) || entries != 1u + (sibling && !replacedSibling))
      fuzz::Fail("expansion left extra files");
  }
  fuzz::EmptyScratchFolder();
  return 0;
}
