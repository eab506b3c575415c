#include "update/trust/SignatureCheck.h"

#include "update/trust/FileBlocks.h"
#include "update/trust/Sodium.h"

#include <sodium.h>

#include <array>
#include <vector>

namespace vyn {

TSignatureCheck CheckSignature(const TMinisignPublicKey& Key, const TMinisignSignature& Signature,
                               const std::string& Path) {
  EnsureSodium();
  if (Signature.KeyId != Key.KeyId) return TSignatureCheck::scOtherKey;
  int verified = -1;
  if (Signature.Prehashed) {
    crypto_generichash_state state;
    crypto_generichash_init(&state, nullptr, 0, crypto_generichash_BYTES_MAX);
    const bool read = ReadFileBlocks(Path, [&](const unsigned char* data, std::size_t size) {
      crypto_generichash_update(&state, data, size);
    });
    if (!read) return TSignatureCheck::scUnreadableFile;
    std::array<unsigned char, crypto_generichash_BYTES_MAX> digest{};
    crypto_generichash_final(&state, digest.data(), digest.size());
    verified = crypto_sign_verify_detached(Signature.Signature.data(), digest.data(), digest.size(),
                                           Key.Key.data());
  } else {
    std::vector<unsigned char> message;
    const bool read = ReadFileBlocks(Path, [&](const unsigned char* data, std::size_t size) {
      message.insert(message.end(), data, data + size);
    });
    if (!read) return TSignatureCheck::scUnreadableFile;
    verified = crypto_sign_verify_detached(Signature.Signature.data(), message.data(),
                                           message.size(), Key.Key.data());
  }
  if (verified != 0) return TSignatureCheck::scBadSignature;

  std::vector<unsigned char> global(Signature.Signature.begin(), Signature.Signature.end());
  global.insert(global.end(), Signature.TrustedComment.begin(), Signature.TrustedComment.end());
  if (crypto_sign_verify_detached(Signature.GlobalSignature.data(), global.data(), global.size(),
                                  Key.Key.data()) != 0)
    return TSignatureCheck::scBadTrustedComment;
  return TSignatureCheck::scValid;
}

TSignatureCheck CheckSignature(const TMinisignPublicKey& Key, std::string_view SignatureText,
                               const std::string& Path) {
  const auto signature = ParseMinisignSignature(SignatureText);
  if (!signature) return TSignatureCheck::scMalformed;
  return CheckSignature(Key, *signature, Path);
}

const char* SignatureCheckText(TSignatureCheck Check) {
  switch (Check) {
    case TSignatureCheck::scValid:
      return "Signature and trusted comment verified";
    case TSignatureCheck::scUnreadableFile:
      return "The signed file cannot be read";
    case TSignatureCheck::scMalformed:
      return "The signature is not a minisign signature";
    case TSignatureCheck::scOtherKey:
      return "The file was signed with another key";
    case TSignatureCheck::scBadSignature:
      return "The signature does not match the file";
    case TSignatureCheck::scBadTrustedComment:
      return "The trusted comment does not match its signature";
  }
  return "";
}

}  // namespace vyn
