#pragma once
// What one transfer's bytes must hold to before they may replace anything.

#include <cstdint>
#include <string>

namespace vyn {

struct TTransferCheck {
  // The most bytes this file may have, below the engine's MaxDownloadSize; 0 = no limit of
  // its own (a local copy then has none at all).
  int64_t MaxSize = 0;
  // When not empty: the hex SHA-256 the bytes as fetched must have.
  std::string Sha256;
};

}  // namespace vyn
