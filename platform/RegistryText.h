#pragma once
// Text helpers of the registry store: UTF-8 / UTF-16LE conversion and name folding.

#include <string>
#include <string_view>

namespace vyn::registry {

bool IsValidUtf8(std::string_view text);

// Malformed input never fails: an odd last byte is dropped, a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
// `text` must be valid UTF-8 (zeros are kept as zero code units).
std::string Utf8ToUtf16Le(std::string_view text);
// 8-bit text in the Windows Western code page, as REGEDIT4 files hold it.
std::string Latin1ToUtf8(std::string_view bytes);

// The form in which names are compared: simple lower case of the Latin, Greek and Cyrillic
// letters; other bytes unchanged.
std::string FoldName(std::string_view name);

}  // namespace vyn::registry
