#include "update/cli/VerifyCommand.h"

#include <cstdio>

#include "update/cli/Commands.h"
#include "update/cli/SmallFile.h"
#include "update/trust/SignatureCheck.h"

namespace vyn::cli {

namespace {

// The signature reader refuses anything larger, so there is no need to read more.
constexpr size_t KMaxSignatureRead = 8192;

}  // namespace

int VerifyCommand(const TCommandOptions& options) {
  const auto key = ParseMinisignPublicKey(options.PublicKey);
  if (!key) return KExitError;
  const std::string signaturePath = options.SignedFile + ".minisig";
  std::string text;
  std::string error;
  if (!ReadSmallFile(signaturePath, KMaxSignatureRead, text, error)) {
    std::fprintf(stderr, "vynupdate: cannot read %s: %s\n", signaturePath.c_str(), error.c_str());
    return KExitNothing;
  }
  const auto signature = ParseMinisignSignature(text);
  const TSignatureCheck check =
      signature ? CheckSignature(*key, *signature, options.SignedFile) : TSignatureCheck::scMalformed;
  if (check != TSignatureCheck::scValid) {
    std::printf("%s\n", SignatureCheckText(check));
    return KExitNothing;
  }
  // The comment is only trustworthy once its own signature held.
  std::printf("trusted comment: %s\n", signature->TrustedComment.c_str());
  // The engine orders releases by this moment, so it refuses a signature without one.
  if (!TrustedTimestamp(*signature)) {
    std::puts("The trusted comment carries no timestamp: the engine refuses it");
    return KExitNothing;
  }
  std::printf("%s\n", SignatureCheckText(check));
  return KExitDone;
}

}  // namespace vyn::cli
