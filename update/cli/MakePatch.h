#pragma once
// Makes a zstd "patch from" delta that turns one file into another.

#include <cstdint>
#include <string>

namespace vyn::cli {

struct TMadePatch {
  uint64_t Old = 0;
  uint64_t New = 0;
  uint64_t Patch = 0;
};

// Writes to `patchPath` (through a temporary file beside it) the patch from `oldPath` to
// `newPath`: one frame with a content checksum, whose window covers both files. Throws
// std::runtime_error on failure, leaving `patchPath` as it was.
TMadePatch MakePatch(const std::string& oldPath, const std::string& newPath,
                     const std::string& patchPath);

}  // namespace vyn::cli
