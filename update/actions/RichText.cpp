#include "update/actions/RichText.h"

#include <cstddef>

namespace vyn {

bool IsRichText(std::string_view text) {
  constexpr std::string_view KSignature = "{\\RTF";
  if (text.size() < KSignature.size()) return false;
  for (std::size_t i = 0; i < KSignature.size(); ++i) {
    const char c = text[i];
    if ((c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c) != KSignature[i]) return false;
  }
  return true;
}

}  // namespace vyn
