#pragma once
// File versions: the fixed file information of a PE version resource, or the version note
// that this project stamps into each of its ELF executables.

#include <cstdint>
#include <optional>
#include <string>

namespace vyn {

struct TFixedFileInfo {
  uint32_t Signature = 0;  // 0xFEEF04BD
  uint32_t StrucVersion = 0;
  uint32_t FileVersionMS = 0;
  uint32_t FileVersionLS = 0;
  uint32_t ProductVersionMS = 0;
  uint32_t ProductVersionLS = 0;
  uint32_t FileFlagsMask = 0;
  uint32_t FileFlags = 0;
  uint32_t FileOS = 0;
  uint32_t FileType = 0;
  uint32_t FileSubtype = 0;
  uint32_t FileDateMS = 0;
  uint32_t FileDateLS = 0;
};

// nullopt for anything that is not a PE or ELF file with a valid record; never reads outside
// the file, whatever its offsets say.
std::optional<TFixedFileInfo> ReadFixedFileInfo(const std::string& fileName);

// "a.b.c.d" from the four 16-bit halves of the file version.
std::string FormatFileVersion(const TFixedFileInfo& info);

}  // namespace vyn
