#pragma once
// Expands SZDD bytes the two independent ways the packer must satisfy: the platform's LZ
// expansion (libmspack) and Debian's msexpand.

#include <optional>
#include <string>

namespace vyn::test {

// ExpandLZFile of `packed` written as "data.bi_" in a fresh folder; none when it is left
// unexpanded.
std::optional<std::string> ExpandWithLZFile(const std::string& packed);

bool HaveMsexpand();
// msexpand reading `packed` on its standard input; none when it fails.
std::optional<std::string> ExpandWithMsexpand(const std::string& packed);

// The size of mscompress's output for `data`.
std::size_t MscompressSize(const std::string& data);

}  // namespace vyn::test
