#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace vyn {

// A minisign public key: the 8-byte key id and the Ed25519 key.
struct TMinisignPublicKey {
  std::array<std::uint8_t, 8> KeyId{};
  std::array<std::uint8_t, 32> Key{};
};

// Reads a key given as its Base64 line or as the text of a .pub file ("untrusted comment:" line,
// then the Base64 line). Empty when it is neither.
std::optional<TMinisignPublicKey> ParseMinisignPublicKey(std::string_view Text);

}  // namespace vyn
