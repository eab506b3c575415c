#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vyn {

// A detached minisign signature (.minisig).
struct TMinisignSignature {
  bool Prehashed = true;  // "ED": over the BLAKE2b-512 of the file; "Ed": over the file itself
  std::array<std::uint8_t, 8> KeyId{};
  std::array<std::uint8_t, 64> Signature{};
  std::string TrustedComment;  // without its "trusted comment: " prefix
  std::array<std::uint8_t, 64> GlobalSignature{};
};

// Reads a signature file's text; empty when it is malformed. Signatures files are small, so
// anything over 4 KiB is refused before it is looked at.
std::optional<TMinisignSignature> ParseMinisignSignature(std::string_view Text);

// The number after "timestamp:" in the trusted comment, when there is one.
std::optional<long long> TrustedTimestamp(const TMinisignSignature& Signature);

}  // namespace vyn
