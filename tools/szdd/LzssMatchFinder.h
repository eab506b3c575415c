#pragma once
// Longest-match search for the SZDD LZSS coder. Positions are indices into the stream the
// decoder sees: 4096 spaces (the initial window) followed by the data, so a match may reach
// back into the initial spaces exactly like any other window content.

#include <cstdint>
#include <string_view>
#include <vector>

namespace vyn::szdd {

inline constexpr std::uint64_t kWindowSize = 4096;
inline constexpr std::size_t kMinMatch = 3;
inline constexpr std::size_t kMaxMatch = 18;

struct TMatch {
  std::size_t Length = 0;     // 0 when nothing of at least kMinMatch bytes was found
  std::uint64_t Source = 0;   // stream position the copy starts at
};

class TLzssMatchFinder {
public:
  explicit TLzssMatchFinder(std::string_view data);

  // Stream position of the data's first byte.
  static constexpr std::uint64_t Start() { return kWindowSize; }
  std::uint64_t End() const { return kWindowSize + FData.size(); }

  // Records `position` as a match source; positions must be inserted in increasing order.
  void Insert(std::uint64_t position);
  // The longest match for the bytes at `position` among sources at most a window back, the
  // nearest of equal length. Exactly the positions before `position` must have been inserted.
  TMatch Find(std::uint64_t position) const;

private:
  unsigned char At(std::uint64_t position) const;
  std::size_t Hash(std::uint64_t position) const;
  std::size_t MatchLength(std::uint64_t source, std::uint64_t position, std::size_t limit) const;

  std::string_view FData;
  // Chain heads per hash and links per window slot; kNone marks an empty entry.
  std::vector<std::uint64_t> FHead;
  std::vector<std::uint64_t> FPrevious;
};

}  // namespace vyn::szdd
