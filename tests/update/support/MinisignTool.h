#pragma once
// Keys and signatures made with the publisher's own tool, `minisign`, for the trust tests.

#include <string>

namespace vyn::test {

struct TMinisignKeyPair {
  std::string PublicKeyFile;
  std::string SecretKeyFile;
  std::string PublicKeyLine;  // the Base64 line of the public key file
};

// Makes a key pair without a password in `folder` (created when missing); throws on failure.
TMinisignKeyPair MakeMinisignKeyPair(const std::string& folder);

// Signs `file` into `file`.minisig; `trustedComment` empty lets minisign write its own
// ("timestamp:N<TAB>file:NAME<TAB>hashed"). Legacy signs the file itself instead of its hash.
// Throws on failure.
void MinisignSign(const TMinisignKeyPair& keys, const std::string& file,
                  const std::string& trustedComment = "", bool legacy = false);

}  // namespace vyn::test
