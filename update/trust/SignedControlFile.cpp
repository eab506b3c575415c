// The engine's side of a signed control file: its signature fetched beside it, checked, and
// its trusted timestamp held against the last one accepted.

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>

#include "update/VudIvazoz.h"
#include "update/transfer/TransferCheck.h"
#include "update/trust/MinisignKey.h"
#include "update/trust/MinisignSignature.h"
#include "update/trust/SignatureCheck.h"
#include "update/trust/Sodium.h"

namespace vyn {

namespace {
// What the signature reader takes; a server that sends more is cut off there.
constexpr int64_t KMaxSignatureSize = 4096;

// The text of a fetched signature, whose file is removed at once; none when it is longer
// than a signature can be.
std::optional<std::string> TakeSignatureText(const std::string& path) {
  std::string text(KMaxSignatureSize + 1, '\0');
  std::streamsize read = 0;
  {
    std::ifstream in(path, std::ios::binary);
    in.read(text.data(), static_cast<std::streamsize>(text.size()));
    read = in.gcount();
  }
  std::remove(path.c_str());
  if (read > KMaxSignatureSize) return std::nullopt;
  text.resize(static_cast<size_t>(read));
  return text;
}

}  // namespace

bool TVudIvazoz::AcceptSignedControlFile(const std::string& address, const std::string& path) {
  const auto key = ParseMinisignPublicKey(PublicKey);
  if (!key) return false;
  const std::string signatureAddress = address + ".minisig";
  const std::string folder = WinTempDir();
  if (!URLGetFileChecked(HintConnect(), signatureAddress, folder, false, {KMaxSignatureSize, ""}))
    return false;
  const auto text = TakeSignatureText(folder + URLtoFile(signatureAddress));
  if (!text) return false;
  const auto signature = ParseMinisignSignature(*text);
  if (!signature || CheckSignature(*key, *signature, path) != TSignatureCheck::scValid)
    return false;

  // Only a signed moment tells a replayed older release from the newest one.
  const auto signedAt = TrustedTimestamp(*signature);
  const std::string keyId = HexText(key->KeyId.data(), key->KeyId.size());
  const auto lastAccepted = LastSignedTimeGet(keyId);
  if (!signedAt || !lastAccepted || *signedAt < *lastAccepted) return false;
  // Recorded at acceptance, not after the run: a release whose download was cut off must not
  // let an older one in afterwards. One that cannot be recorded is not accepted.
  return *signedAt == *lastAccepted || LastSignedTimePut(keyId, *signedAt);
}

}  // namespace vyn
