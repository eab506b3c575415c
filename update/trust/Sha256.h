#pragma once
#include <sodium.h>

#include <cstddef>
#include <optional>
#include <string>

namespace vyn {

// SHA-256 fed piece by piece, so a download is hashed while it is written.
class TSha256 {
 public:
  TSha256();
  void Update(const void* Data, std::size_t Size);
  // Lower-case hex of the digest; the object is spent afterwards.
  std::string HexDigest();

 private:
  crypto_hash_sha256_state FState;
};

// The SHA-256 of a file in lower-case hex; empty when the file cannot be read.
std::optional<std::string> Sha256OfFile(const std::string& Path);

// True when `Text` is 64 hex digits (either case) equal to `HexDigest`.
bool Sha256Matches(const std::string& Text, const std::string& HexDigest);

}  // namespace vyn
