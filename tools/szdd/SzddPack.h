#pragma once
// SZDD packing: the 14-byte header and an LZSS stream that the platform's LZ expansion (and
// libmspack, msexpand) turns back into the data.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace vyn {

// The header's size field is 32 bits wide.
inline constexpr std::uint64_t kSzddMaxSize = 0xFFFFFFFFu;

// Packs `data`; `lastCharacter` is the file name's last character that the packed name
// replaces. The output is handed to `write` in pieces, in order. Throws std::length_error for
// data larger than kSzddMaxSize (nothing is written then).
void PackSzdd(std::string_view data, char lastCharacter, const std::function<void(std::string_view)>& write);
std::string PackSzdd(std::string_view data, char lastCharacter);

}  // namespace vyn
