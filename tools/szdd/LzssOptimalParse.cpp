#include "tools/szdd/LzssOptimalParse.h"

#include <algorithm>

namespace vyn::szdd {

namespace {
constexpr std::uint32_t kLiteralBits = 9;
constexpr std::uint32_t kReferenceBits = 17;
// Items never cross a block's end; at this size that costs a few bits per block.
constexpr std::uint64_t kBlockSize = std::uint64_t{1} << 18;
}  // namespace

TLzssOptimalParser::TLzssOptimalParser(TLzssMatchFinder& finder)
    : FFinder(finder), FLength(kBlockSize), FDistance(kBlockSize), FCost(kBlockSize + 1), FChoice(kBlockSize) {}

void TLzssOptimalParser::Parse(const TEmit& emit) {
  for (std::uint64_t begin = TLzssMatchFinder::Start(); begin < FFinder.End(); begin += kBlockSize)
    ParseBlock(begin, std::min(begin + kBlockSize, FFinder.End()), emit);
}

void TLzssOptimalParser::ParseBlock(std::uint64_t begin, std::uint64_t end, const TEmit& emit) {
  const std::size_t size = static_cast<std::size_t>(end - begin);
  // The window moves on with every position, so the search runs forward over the block first.
  for (std::size_t i = 0; i < size; ++i) {
    const TMatch match = FFinder.Find(begin + i);
    FFinder.Insert(begin + i);
    FLength[i] = static_cast<std::uint8_t>(std::min<std::size_t>(match.Length, size - i));
    FDistance[i] = static_cast<std::uint16_t>(begin + i - match.Source);
  }
  // Every length from kMinMatch up to the longest is a valid copy from the same source.
  FCost[size] = 0;
  for (std::size_t i = size; i-- > 0;) {
    std::uint32_t best = kLiteralBits + FCost[i + 1];
    std::uint8_t choice = 1;
    for (std::size_t length = kMinMatch; length <= FLength[i]; ++length) {
      const std::uint32_t cost = kReferenceBits + FCost[i + length];
      if (cost <= best) {  // on a tie the longer copy: fewer items to decode
        best = cost;
        choice = static_cast<std::uint8_t>(length);
      }
    }
    FCost[i] = best;
    FChoice[i] = choice;
  }
  for (std::size_t i = 0; i < size; i += FChoice[i]) {
    const TMatch item = FChoice[i] == 1 ? TMatch{} : TMatch{FChoice[i], begin + i - FDistance[i]};
    emit(begin + i, item);
  }
}

}  // namespace vyn::szdd
