// What the engine does to trust a release file: the minisign check of its signature, then its
// SHA-256. Prints the digest; exit 0 only when the signature holds.
//   usage: bench_verify_release PUBLIC_KEY_FILE FILE   (the signature is FILE.minisig)
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "update/trust/Sha256.h"
#include "update/trust/SignatureCheck.h"

namespace {

std::string ReadText(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s PUBLIC_KEY_FILE FILE\n", argv[0]);
    return 2;
  }
  const auto key = vyn::ParseMinisignPublicKey(ReadText(argv[1]));
  if (!key) {
    std::fprintf(stderr, "%s: not a minisign public key\n", argv[1]);
    return 2;
  }
  const std::string file = argv[2];
  const vyn::TSignatureCheck check =
      vyn::CheckSignature(*key, ReadText((file + ".minisig").c_str()), file);
  if (check != vyn::TSignatureCheck::scValid) {
    std::fprintf(stderr, "%s\n", vyn::SignatureCheckText(check));
    return 1;
  }
  const auto digest = vyn::Sha256OfFile(file);
  if (!digest) return 1;
  std::printf("%s  %s\n", digest->c_str(), file.c_str());
  return 0;
}
