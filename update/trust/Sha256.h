#pragma once
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

struct evp_md_ctx_st;

namespace vyn {

// SHA-256 fed piece by piece, so a download is hashed while it is written. OpenSSL's, because
// it uses the processor's SHA instructions where there are some: several times faster than a
// portable one on a large release.
class TSha256 {
 public:
  TSha256();
  void Update(const void* Data, std::size_t Size);
  // Lower-case hex of the digest; the object is spent afterwards.
  std::string HexDigest();

 private:
  struct TFree {
    void operator()(evp_md_ctx_st* Context) const;
  };
  std::unique_ptr<evp_md_ctx_st, TFree> FContext;
};

// The SHA-256 of a file in lower-case hex; empty when the file cannot be read.
std::optional<std::string> Sha256OfFile(const std::string& Path);

// True when `Text` is 64 hex digits (either case) equal to `HexDigest`.
bool Sha256Matches(const std::string& Text, const std::string& HexDigest);

}  // namespace vyn
