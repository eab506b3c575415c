#pragma once
#include <string_view>

namespace vyn {

// True when `Text` can name a SHA-256: 64 hex digits, either case.
bool IsSha256Text(std::string_view Text);

}  // namespace vyn
