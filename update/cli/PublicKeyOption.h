#pragma once
// The value of --public-key: a minisign public key's Base64 line, or the path of its .pub file.

#include <string>

namespace vyn::cli {

// The key text for the engine's PublicKey (the line, or the file's text). False with `error`
// set when the value is neither a key nor a readable file holding one.
bool ReadPublicKeyOption(const std::string& value, std::string& key, std::string& error);

}  // namespace vyn::cli
