#pragma once
#include <string_view>

namespace vyn {

// Whether `text` is rich text (RTF): its first five bytes, upper-cased, are "{\RTF".
bool IsRichText(std::string_view text);

}  // namespace vyn
