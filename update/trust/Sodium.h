#pragma once
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace vyn {

// Initialises libsodium once for the process; throws when it cannot.
void EnsureSodium();

// Standard Base64 with padding, surrounding blanks ignored; empty when it is not Base64.
std::optional<std::vector<std::uint8_t>> DecodeBase64(std::string_view Text);

}  // namespace vyn
