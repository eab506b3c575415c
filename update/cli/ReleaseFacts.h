#pragma once
// What a control file says about one file of a release, computed the way the engine checks it.

#include <cstdint>
#include <string>

namespace vyn::cli {

struct TReleaseFacts {
  int32_t Size = 0;
  int32_t Checksum = -1;  // the engine's CRC-32 style sum, or its byte sum
  std::string Sha256;     // lower-case hex
  std::string Version;    // "a.b.c.d" of its version note or resource; "" without one
};

// Throws std::runtime_error naming the file when it cannot be read, is 2 GiB or larger (the
// control file's sizes are signed 32-bit), or changes while it is read.
TReleaseFacts ReadReleaseFacts(const std::string& path, bool crc32);

}  // namespace vyn::cli
