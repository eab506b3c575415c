#pragma once
#include <string_view>
#include <vector>

namespace vyn {

inline constexpr std::string_view kUntrustedCommentPrefix = "untrusted comment: ";
inline constexpr std::string_view kTrustedCommentPrefix = "trusted comment: ";

// The non-empty lines of a key or signature text, each without its line break ("\n" or "\r\n").
std::vector<std::string_view> MinisignLines(std::string_view Text);

}  // namespace vyn
