// The version reader: any bytes as a PE or ELF file. Whatever it finds must be a whole record.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "platform/FileVersion.h"

using namespace vyn;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = fuzz::WriteScratchFile("program", data, size);
  if (const auto info = ReadFixedFileInfo(file)) {
    if (info->Signature != 0xFEEF04BDu) fuzz::Fail("a record without its signature");
    FormatFileVersion(*info);
  }
  fuzz::EmptyScratchFolder();
  return 0;
}
