#pragma once
// The cheapest LZSS item sequence for the SZDD coder, where a literal costs 9 bits and a
// reference 17 whatever its length and source: a backward dynamic programme over the longest
// match at every position, one block at a time so memory stays bounded for any input size.

#include <cstdint>
#include <functional>
#include <vector>

#include "tools/szdd/LzssMatchFinder.h"

namespace vyn::szdd {

class TLzssOptimalParser {
public:
  // A literal arrives as a TMatch of length 0.
  using TEmit = std::function<void(std::uint64_t position, const TMatch& item)>;

  explicit TLzssOptimalParser(TLzssMatchFinder& finder);

  // Emits the items for every data position of the finder, in order. Expects the initial
  // window (the positions before Start) inserted and nothing else.
  void Parse(const TEmit& emit);

private:
  void ParseBlock(std::uint64_t begin, std::uint64_t end, const TEmit& emit);

  TLzssMatchFinder& FFinder;
  // Per position of the current block: the longest match's length (0: none) and distance,
  // the cheapest cost in bits from there to the block's end, and the length chosen (1: literal).
  std::vector<std::uint8_t> FLength;
  std::vector<std::uint16_t> FDistance;
  std::vector<std::uint32_t> FCost;
  std::vector<std::uint8_t> FChoice;
};

}  // namespace vyn::szdd
