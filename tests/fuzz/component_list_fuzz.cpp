// Component lists (".INF" read by the updater): any bytes as a list, its entries read, their
// names checked and their target folders expanded, as the updater does before applying them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "platform/Folders.h"
#include "updater/ComponentKind.h"
#include "updater/ComponentListEntries.h"
#include "updater/TargetPath.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string list = fuzz::WriteScratchFile("list.inf", data, size);
  int previous = 0;
  for (const TComponentListEntry& entry : ReadComponentList(TIniFile(list))) {
    if (entry.Number <= previous) fuzz::Fail("entries out of order");
    previous = entry.Number;
    const std::string name = ToLocalSeparators(entry.File);
    if (IsAcceptableComponentName(name)) {
      ComponentKind(name);
      if (name.find('/') != std::string::npos || name == "." || name == "..")
        fuzz::Fail("a name that leaves the staging folder was accepted: " + name);
    }
    const std::string target = ExpandTargetPath(entry.Target);
    if (!target.empty() && target.back() != '/') fuzz::Fail("a target without its separator");
  }
  fuzz::EmptyScratchFolder();
  return 0;
}
