#pragma once
// Texts fetched from an update server, as lines of UTF-8.

#include <string>
#include <string_view>
#include <vector>

namespace vyn {

// The bytes as UTF-8: a UTF-8 byte order mark is dropped, and bytes that are not valid UTF-8
// are read as the Windows Western code page (texts written on Windows).
std::string TextToUtf8(std::string_view bytes);

// The text's lines, split at CR LF, LF or CR; a line end at the very end adds no empty line.
std::vector<std::string> LoadStringList(std::string_view bytes);

// Every line followed by CR LF.
std::string SaveStringList(const std::vector<std::string>& lines);

}  // namespace vyn
