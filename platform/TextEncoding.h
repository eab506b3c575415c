#pragma once
// Conversions between UTF-8 (the text of every string here), UTF-16LE (files written on
// Windows) and the Windows Western code page.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vyn {

void AppendUtf8(std::string& out, uint32_t codePoint);
// Decodes one code point at `pos`; returns its length, 0 when the bytes are not valid UTF-8.
size_t DecodeUtf8(std::string_view text, size_t pos, uint32_t& codePoint);
bool IsValidUtf8(std::string_view text);

// Malformed input never fails: an odd last byte is dropped, a lone surrogate becomes U+FFFD.
std::string Utf16LeToUtf8(std::string_view bytes);
// Bytes that are not valid UTF-8 become U+FFFD; zeros are kept as zero code units.
std::string Utf8ToUtf16Le(std::string_view text);
// 8-bit text in the Windows Western code page.
std::string Latin1ToUtf8(std::string_view bytes);

}  // namespace vyn
