#pragma once
#include <string>

namespace vyn {

// The key a program's update engine checks its control files with (its PublicKey), from the
// key built into the program and the machine hive's "UpdatePublicKey" under `RegPath`.
//
// A non-empty machine value wins: the administrator of a packaged install may pin the key of
// the signer that install follows. An empty or missing one leaves the built-in key in force,
// so nothing but another key ever takes the built-in key's place. The user's hive is never
// read: the user's own settings can neither turn the check off nor swap the key. A machine
// hive that cannot be read, or a value that is not text, gives a text that is no key, so every
// control file is refused until the hive is mended rather than the pin silently dropped.
std::string UpdatePublicKey(const std::string& BuildKey, const std::string& RegPath);

}  // namespace vyn
