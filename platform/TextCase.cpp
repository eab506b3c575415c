#include "platform/TextCase.h"

namespace vyn {

std::string UpperAscii(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

std::string UpperExtension(const std::string& name) {
  const size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : UpperAscii(name.substr(dot));
}

}  // namespace vyn
