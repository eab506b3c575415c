#pragma once
// The staging folder the components, the component lists and the journal are read from.

#include <string>

namespace vyn {

// Only a real folder that other users cannot write to, as the engine's private staging folder
// is, is read from. `staging` may end with '/'.
bool IsTrustedStaging(const std::string& staging);

}  // namespace vyn
