#include "update/control/LineBreaks.h"

namespace vyn {

std::string ConvertBackslashN(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
      out += '\r';
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace vyn
