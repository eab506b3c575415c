#include "update/trust/Sha256.h"

#include <openssl/evp.h>

#include "update/trust/FileBlocks.h"
#include "update/trust/Sodium.h"

#include <array>
#include <cctype>
#include <stdexcept>

namespace vyn {

TSha256::TSha256() : FContext(EVP_MD_CTX_new()) {
  if (!FContext || EVP_DigestInit_ex(FContext.get(), EVP_sha256(), nullptr) != 1)
    throw std::runtime_error("SHA-256 is not available");
}

void TSha256::TFree::operator()(evp_md_ctx_st* Context) const { EVP_MD_CTX_free(Context); }

void TSha256::Update(const void* Data, std::size_t Size) {
  EVP_DigestUpdate(FContext.get(), Data, Size);
}

std::string TSha256::HexDigest() {
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(FContext.get(), digest.data(), &length);
  return HexText(digest.data(), length);
}

std::optional<std::string> Sha256OfFile(const std::string& Path) {
  TSha256 hash;
  const bool read = ReadFileBlocks(
      Path, [&](const unsigned char* data, std::size_t size) { hash.Update(data, size); });
  if (!read) return std::nullopt;
  return hash.HexDigest();
}

bool Sha256Matches(const std::string& Text, const std::string& HexDigest) {
  if (Text.size() != 64 || HexDigest.size() != 64) return false;
  for (std::size_t i = 0; i < Text.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(Text[i])) != HexDigest[i]) return false;
  return true;
}

}  // namespace vyn
