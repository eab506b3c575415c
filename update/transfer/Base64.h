#pragma once
#include <string>

namespace vyn {

// Standard Base64 with '=' padding and no line breaks, of one byte per character of `Text`
// (UTF-8): the low eight bits of the character's UTF-16 code unit, so characters above U+00FF
// lose their high byte. Used for the basic authentication header.
std::string Base64Encode(const std::string& Text);

}  // namespace vyn
