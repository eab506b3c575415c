#pragma once
// What a patch's frame header may ask for before anything is decoded.

#include <cstddef>
#include <cstdint>

namespace vyn::patcher {

// The largest window a patch may ask for, whatever the machine.
constexpr uint64_t KMaxWindowSize = uint64_t{1} << 31;

// Checks the frame header at the start of `head` (`size` bytes, all the patch has when shorter
// than a header) and returns the window log to allow the decoder. Throws TPatchError for a file
// that is not a zstd frame, a truncated header, a frame without a content checksum, or a window
// above KMaxWindowSize or above what the machine's memory allows.
int CheckFrameHeader(const void* head, size_t size);

}  // namespace vyn::patcher
