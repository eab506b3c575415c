#pragma once
// Applies a zstd "patch from" delta to an installed file.

#include <cstdint>
#include <string>

namespace vyn::patcher {

struct TPatchSizes {
  uint64_t Reference = 0;  // the target before
  uint64_t Patch = 0;
  uint64_t Result = 0;  // the target after
};

// Decodes `patchPath` with the file `targetPath` as its reference and puts the result in place
// of the target, with the target's owner and permissions. The frame's content checksum must
// match. Throws TPatchError on any failure; the target is then untouched and no temporary file
// is left.
TPatchSizes ApplyPatch(const std::string& patchPath, const std::string& targetPath);

}  // namespace vyn::patcher
