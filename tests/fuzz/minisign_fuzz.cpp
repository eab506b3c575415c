// The minisign readers: any bytes as a public key and as a signature, and the signature checked
// against a small fixed file signed with a fixed key (the seeds hold a good pre-hashed and a
// good legacy signature of it, so mutations reach every step of the check).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ScratchFolder.h"
#include "update/trust/MinisignKey.h"
#include "update/trust/MinisignSignature.h"
#include "update/trust/SignatureCheck.h"

using namespace vyn;

namespace {

constexpr std::string_view KPublicKey = "RWTvUok85Cl0bjmFlekl5GIu/5oX4+RQqVM7GFI3eXhvjedhbbeyiSId";
constexpr std::string_view KSignedText = "vynWebBrowser signed sample\n";

const TMinisignPublicKey& FixedKey() {
  static const TMinisignPublicKey key = [] {
    const auto parsed = ParseMinisignPublicKey(KPublicKey);
    if (!parsed) fuzz::Fail("the fixed key does not parse");
    return *parsed;
  }();
  return key;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseMinisignPublicKey(text);
  const auto signature = ParseMinisignSignature(text);
  if (signature) TrustedTimestamp(*signature);
  const std::string file = fuzz::WriteScratchFile(
      "signed.txt", reinterpret_cast<const std::uint8_t*>(KSignedText.data()), KSignedText.size());
  const TSignatureCheck check = CheckSignature(FixedKey(), text, file);
  if (check == TSignatureCheck::scValid && (!signature || signature->KeyId != FixedKey().KeyId))
    fuzz::Fail("a signature without the key's id was taken");
  if (check != TSignatureCheck::scMalformed && !signature)
    fuzz::Fail("an unreadable signature was checked");
  fuzz::EmptyScratchFolder();
  return 0;
}
