#include "update/cli/PublicKeyOption.h"

#include "update/cli/SmallFile.h"
#include "update/trust/MinisignKey.h"

namespace vyn::cli {

namespace {

// A .pub file is two short lines; anything much larger is not one.
constexpr size_t KMaxKeyFileSize = 4096;

bool ReadKeyFile(const std::string& path, std::string& text, std::string& error) {
  if (!ReadSmallFile(path, KMaxKeyFileSize + 1, text, error)) return false;
  if (text.size() > KMaxKeyFileSize) return error = "too large for a public key file", false;
  return true;
}

}  // namespace

bool ReadPublicKeyOption(const std::string& value, std::string& key, std::string& error) {
  if (ParseMinisignPublicKey(value)) {
    key = value;
    return true;
  }
  std::string text;
  std::string why;
  if (!ReadKeyFile(value, text, why)) {
    error = "--public-key " + value + " is not a minisign public key, nor a readable key file (" +
            why + ")";
    return false;
  }
  if (!ParseMinisignPublicKey(text)) {
    error = "--public-key " + value + " holds no minisign public key";
    return false;
  }
  key = text;
  return true;
}

}  // namespace vyn::cli
