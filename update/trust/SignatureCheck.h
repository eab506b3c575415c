#pragma once
#include <string>
#include <string_view>

#include "update/trust/MinisignKey.h"
#include "update/trust/MinisignSignature.h"

namespace vyn {

enum class TSignatureCheck {
  scValid,
  scUnreadableFile,    // the signed file could not be read
  scMalformed,         // the signature text is not a minisign signature
  scOtherKey,          // signed with another key (the key ids differ)
  scBadSignature,      // the file does not match its signature
  scBadTrustedComment  // the trusted comment was altered
};

// Checks the file at `Path` against a signature the way `minisign -V` does: key id, the
// signature over the file (pre-hashed or legacy), then the global signature over the
// signature and the trusted comment.
TSignatureCheck CheckSignature(const TMinisignPublicKey& Key, const TMinisignSignature& Signature,
                               const std::string& Path);
TSignatureCheck CheckSignature(const TMinisignPublicKey& Key, std::string_view SignatureText,
                               const std::string& Path);

// A sentence in English for the command line.
const char* SignatureCheckText(TSignatureCheck Check);

}  // namespace vyn
