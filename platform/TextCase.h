#pragma once
// Upper case as file names and control-file keys compare: ASCII letters only, whatever the
// locale.

#include <string>

namespace vyn {

std::string UpperAscii(std::string text);
// The extension of `name` from its last '.', the dot included, upper-cased; "" without one.
std::string UpperExtension(const std::string& name);

}  // namespace vyn
