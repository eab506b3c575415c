#include "tools/szdd/LzssMatchFinder.h"

#include <algorithm>
#include <limits>

namespace vyn::szdd {

namespace {
constexpr std::uint64_t kNone = std::numeric_limits<std::uint64_t>::max();
constexpr unsigned kHashBits = 16;
// Enough candidates to find nearly every longest match; bounds the time on repetitive input.
constexpr unsigned kMaxChain = 512;
}  // namespace

TLzssMatchFinder::TLzssMatchFinder(std::string_view data)
    : FData(data), FHead(std::size_t{1} << kHashBits, kNone), FPrevious(kWindowSize, kNone) {}

unsigned char TLzssMatchFinder::At(std::uint64_t position) const {
  return position < kWindowSize ? ' ' : static_cast<unsigned char>(FData[position - kWindowSize]);
}

std::size_t TLzssMatchFinder::Hash(std::uint64_t position) const {
  const std::uint32_t key = (std::uint32_t{At(position)} << 16) | (std::uint32_t{At(position + 1)} << 8) |
                            At(position + 2);
  return (key * 2654435761u) >> (32 - kHashBits);
}

void TLzssMatchFinder::Insert(std::uint64_t position) {
  if (position + kMinMatch > End()) return;  // too near the end to start a match
  const std::size_t hash = Hash(position);
  FPrevious[position % kWindowSize] = FHead[hash];
  FHead[hash] = position;
}

std::size_t TLzssMatchFinder::MatchLength(std::uint64_t source, std::uint64_t position,
                                          std::size_t limit) const {
  std::size_t length = 0;
  if (source >= kWindowSize) {
    const char* from = FData.data() + (source - kWindowSize);
    const char* to = FData.data() + (position - kWindowSize);
    while (length < limit && from[length] == to[length]) ++length;
  } else {
    while (length < limit && At(source + length) == At(position + length)) ++length;
  }
  return length;
}

TMatch TLzssMatchFinder::Find(std::uint64_t position) const {
  TMatch best;
  if (position + kMinMatch > End()) return best;
  const std::size_t limit = static_cast<std::size_t>(std::min<std::uint64_t>(kMaxMatch, End() - position));
  const std::uint64_t oldest = position - kWindowSize;  // position >= kWindowSize
  std::uint64_t candidate = FHead[Hash(position)];
  // A link may be stale (its slot reused by a newer position): the chain must only go back.
  for (unsigned steps = 0; steps < kMaxChain && candidate != kNone && candidate < position && candidate >= oldest;
       ++steps) {
    // Only a candidate that also agrees on the byte after the best so far can beat it.
    const bool promising = best.Length == 0 || At(candidate + best.Length) == At(position + best.Length);
    const std::size_t length = promising ? MatchLength(candidate, position, limit) : 0;
    if (length > best.Length) {
      best = {length, candidate};
      if (length == limit) break;
    }
    const std::uint64_t next = FPrevious[candidate % kWindowSize];
    if (next >= candidate) break;
    candidate = next;
  }
  if (best.Length < kMinMatch) best = {};
  return best;
}

}  // namespace vyn::szdd
