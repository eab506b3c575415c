// Version texts of the control file: whatever reads as a version must be written in a form
// that reads back as the same version, since the comparison runs on what was read.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "update/VudIvazoz.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const TVudVersion version = TVudIvazoz::ParseVersion(text);
  const std::string shown = TVudIvazoz::FormatVersion(version);
  const TVudVersion again = TVudIvazoz::ParseVersion(shown);
  if (again.VersionMS != version.VersionMS || again.VersionLS != version.VersionLS)
    fuzz::Fail("'" + text + "' reads as " + shown + ", which reads as " +
               TVudIvazoz::FormatVersion(again));
  return 0;
}
