// The frame header is read through libzstd's advanced interface (exported by the shared
// library); the stable one has no way to see the window or the checksum flag.
#define ZSTD_STATIC_LINKING_ONLY
#include "patcher/FrameLimits.h"

#include <unistd.h>
#include <zstd.h>

#include <algorithm>
#include <string>

#include "patcher/PatchError.h"

namespace vyn::patcher {

namespace {
// Half the physical memory: the decoder's window is allocated, the reference is mapped beside.
uint64_t MemoryAllowance() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return KMaxWindowSize;
  return static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize) / 2;
}

int CeilLog2(uint64_t value) {
  int log = 0;
  while ((uint64_t{1} << log) < value) ++log;
  return log;
}
}  // namespace

int CheckFrameHeader(const void* head, size_t size) {
  const unsigned char* bytes = static_cast<const unsigned char*>(head);
  const uint32_t magic = size >= 4 ? bytes[0] | bytes[1] << 8 | bytes[2] << 16 |
                                         static_cast<uint32_t>(bytes[3]) << 24
                                   : 0;
  if (magic != ZSTD_MAGICNUMBER) throw TPatchError("the patch is not a zstd patch");
  ZSTD_frameHeader header{};
  const size_t result = ZSTD_getFrameHeader(&header, head, size);
  if (ZSTD_isError(result))
    throw TPatchError(std::string("the patch's header is damaged: ") +
                      ZSTD_getErrorName(result));
  if (result != 0) throw TPatchError("the patch is truncated (incomplete header)");
  // Without a checksum a wrong reference or a damaged patch would go unnoticed.
  if (!header.checksumFlag) throw TPatchError("the patch has no content checksum");
  const uint64_t limit = std::min(KMaxWindowSize, MemoryAllowance());
  if (header.windowSize > limit)
    throw TPatchError("the patch asks for a window of " + std::to_string(header.windowSize) +
                      " bytes, more than the " + std::to_string(limit) + " allowed");
  const ZSTD_bounds bounds = ZSTD_dParam_getBounds(ZSTD_d_windowLogMax);
  return std::clamp(CeilLog2(header.windowSize), bounds.lowerBound, bounds.upperBound);
}

}  // namespace vyn::patcher
