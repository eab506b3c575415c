#include "update/transfer/Base64.h"

#include <cstdint>

namespace vyn {

namespace {
// The UTF-16 code units of a UTF-8 text; a byte that starts no valid sequence stands for itself.
std::u16string ToUtf16(const std::string& text) {
  std::u16string units;
  size_t i = 0;
  while (i < text.size()) {
    const auto b0 = static_cast<unsigned char>(text[i]);
    int length = b0 < 0x80 ? 1 : (b0 >> 5) == 0x6 ? 2 : (b0 >> 4) == 0xE ? 3 : (b0 >> 3) == 0x1E ? 4 : 0;
    uint32_t code = length == 1 ? b0 : length == 2 ? b0 & 0x1F : length == 3 ? b0 & 0x0F : b0 & 0x07;
    bool valid = length > 0 && i + length <= text.size();
    for (int k = 1; valid && k < length; ++k) {
      const auto b = static_cast<unsigned char>(text[i + k]);
      valid = (b & 0xC0) == 0x80;
      code = (code << 6) | (b & 0x3F);
    }
    if (!valid) {
      units.push_back(b0);
      ++i;
      continue;
    }
    if (code >= 0x10000) {
      code -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 | (code >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 | (code & 0x3FF)));
    } else {
      units.push_back(static_cast<char16_t>(code));
    }
    i += length;
  }
  return units;
}
}  // namespace

std::string Base64Encode(const std::string& Text) {
  static const char KAlphabet[] =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string bytes;
  for (char16_t unit : ToUtf16(Text)) bytes.push_back(static_cast<char>(unit & 0xFF));
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t left = bytes.size() - i;
    uint32_t group = static_cast<unsigned char>(bytes[i]) << 16;
    if (left > 1) group |= static_cast<unsigned char>(bytes[i + 1]) << 8;
    if (left > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    out += KAlphabet[(group >> 18) & 63];
    out += KAlphabet[(group >> 12) & 63];
    out += left > 1 ? KAlphabet[(group >> 6) & 63] : '=';
    out += left > 2 ? KAlphabet[group & 63] : '=';
  }
  return out;
}

}  // namespace vyn
