#include "update/cli/VerifyCommand.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/FileDescriptor.h"
#include "update/cli/Commands.h"
#include "update/trust/SignatureCheck.h"

namespace vyn::cli {

namespace {

// The signature reader refuses anything larger, so there is no need to read more.
constexpr size_t KMaxSignatureRead = 8192;

std::optional<std::string> ReadSignatureFile(const std::string& path) {
  TFileDescriptor fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  struct stat st {};
  if (fd.Get() < 0 || fstat(fd.Get(), &st) != 0) return std::nullopt;
  if (!S_ISREG(st.st_mode)) {
    errno = EINVAL;
    return std::nullopt;
  }
  std::string text(KMaxSignatureRead, '\0');
  size_t filled = 0;
  while (filled < text.size()) {
    const ssize_t n = read(fd.Get(), text.data() + filled, text.size() - filled);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    filled += static_cast<size_t>(n);
  }
  text.resize(filled);
  return text;
}

}  // namespace

int VerifyCommand(const TCommandOptions& options) {
  const auto key = ParseMinisignPublicKey(options.PublicKey);
  if (!key) return KExitError;
  const std::string signaturePath = options.SignedFile + ".minisig";
  const auto text = ReadSignatureFile(signaturePath);
  if (!text) {
    std::fprintf(stderr, "vynupdate: cannot read %s: %s\n", signaturePath.c_str(),
                 errno == EINVAL ? "not a regular file" : std::strerror(errno));
    return KExitNothing;
  }
  const auto signature = ParseMinisignSignature(*text);
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
