#include "update/trust/Sha256.h"

#include "update/trust/Sodium.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cctype>

namespace vyn {

TSha256::TSha256() {
  EnsureSodium();
  crypto_hash_sha256_init(&FState);
}

void TSha256::Update(const void* Data, std::size_t Size) {
  crypto_hash_sha256_update(&FState, static_cast<const unsigned char*>(Data), Size);
}

std::string TSha256::HexDigest() {
  std::array<unsigned char, crypto_hash_sha256_BYTES> digest{};
  crypto_hash_sha256_final(&FState, digest.data());
  std::string hex(digest.size() * 2 + 1, '\0');
  sodium_bin2hex(hex.data(), hex.size(), digest.data(), digest.size());
  hex.pop_back();
  return hex;
}

std::optional<std::string> Sha256OfFile(const std::string& Path) {
  const int fd = ::open(Path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  TSha256 hash;
  std::array<char, 1 << 16> buffer{};
  for (;;) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0) {
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    hash.Update(buffer.data(), static_cast<std::size_t>(n));
  }
  ::close(fd);
  return hash.HexDigest();
}

bool Sha256Matches(const std::string& Text, const std::string& HexDigest) {
  if (Text.size() != 64 || HexDigest.size() != 64) return false;
  for (std::size_t i = 0; i < Text.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(Text[i])) != HexDigest[i]) return false;
  return true;
}

}  // namespace vyn
