#include "update/trust/Sodium.h"

#include <sodium.h>

#include <stdexcept>

namespace vyn {

void EnsureSodium() {
  static const int state = sodium_init();
  if (state < 0) throw std::runtime_error("The cryptography library could not start");
}

std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view Text) {
  while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t')) Text.remove_prefix(1);
  while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t' || Text.back() == '\r'))
    Text.remove_suffix(1);
  if (Text.empty()) return std::nullopt;
  EnsureSodium();
  std::vector<std::uint8_t> bytes(Text.size() / 4 * 3 + 3);
  std::size_t length = 0;
  const char* end = nullptr;
  if (sodium_base642bin(bytes.data(), bytes.size(), Text.data(), Text.size(), nullptr, &length,
                        &end, sodium_base64_VARIANT_ORIGINAL) != 0 ||
      end != Text.data() + Text.size())
    return std::nullopt;
  bytes.resize(length);
  return bytes;
}

std::string HexText(const std::uint8_t* Bytes, std::size_t Size) {
  std::string hex(Size * 2 + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), Bytes, Size);
  hex.pop_back();
  return hex;
}

}  // namespace vyn
