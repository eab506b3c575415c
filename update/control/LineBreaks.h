#pragma once
#include <string>

namespace vyn {

// Every two-character sequence backslash + 'n' of a control-file text becomes one carriage
// return (code 13).
std::string ConvertBackslashN(const std::string& text);

}  // namespace vyn
