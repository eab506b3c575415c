#include "platform/RegistryText.h"

#include "platform/TextEncoding.h"

#include <cstdint>

namespace vyn::registry {

namespace {

uint32_t FoldCodePoint(uint32_t cp) {
  if (cp < 0x80) return (cp >= 'A' && cp <= 'Z') ? cp + 0x20 : cp;
  if (cp >= 0xC0 && cp <= 0xDE && cp != 0xD7) return cp + 0x20;
  if ((cp >= 0x100 && cp <= 0x12F) || (cp >= 0x132 && cp <= 0x137) || (cp >= 0x14A && cp <= 0x177))
    return (cp % 2 == 0) ? cp + 1 : cp;
  if ((cp >= 0x139 && cp <= 0x148) || (cp >= 0x179 && cp <= 0x17E)) return (cp % 2 == 1) ? cp + 1 : cp;
  if (cp == 0x178) return 0xFF;
  if (cp >= 0x391 && cp <= 0x3A9 && cp != 0x3A2) return cp + 0x20;
  if (cp >= 0x410 && cp <= 0x42F) return cp + 0x20;
  if (cp >= 0x400 && cp <= 0x40F) return cp + 0x50;
  return cp;
}

}  // namespace

std::string FoldName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  uint32_t cp;
  for (size_t pos = 0; pos < name.size();) {
    const uint8_t b = static_cast<uint8_t>(name[pos]);
    if (b < 0x80) {
      out += static_cast<char>((b >= 'A' && b <= 'Z') ? b + 0x20 : b);
      ++pos;
      continue;
    }
    const size_t length = DecodeUtf8(name, pos, cp);
    if (length == 0) {
      out += name[pos++];
      continue;
    }
    AppendUtf8(out, FoldCodePoint(cp));
    pos += length;
  }
  return out;
}

}  // namespace vyn::registry
