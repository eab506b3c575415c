// Cabinet extraction of any bytes into a target three folders deep in the scratch folder:
// whatever the stored names say, nothing may appear outside the target.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "ScratchFolder.h"
#include "archive/CabinetExtract.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string cabinet = fuzz::WriteScratchFile("input.cab", data, size);
  const std::string target = fuzz::ScratchFolder() + "/a/b/target";
  std::filesystem::create_directories(target);
  ExtractCabinet(cabinet, target);
  for (const std::string& entry : fuzz::ScratchEntries())
    if (entry != "input.cab" && entry != "a" && entry != "a/b" && entry != "a/b/target" &&
        entry.rfind("a/b/target/", 0) != 0)
      fuzz::Fail("written outside the target: " + entry);
  fuzz::EmptyScratchFolder();
  return 0;
}
