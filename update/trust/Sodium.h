#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vyn {

// Initialises libsodium once for the process; throws when it cannot.
void EnsureSodium();

// Standard Base64 with padding, surrounding blanks ignored; empty when it is not Base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view Text);

// Lower-case hex of the bytes.
std::string HexText(const std::uint8_t* Bytes, std::size_t Size);

}  // namespace vyn
