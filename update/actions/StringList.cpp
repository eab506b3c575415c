#include "update/actions/StringList.h"

#include "platform/TextEncoding.h"

namespace vyn {

std::string TextToUtf8(std::string_view bytes) {
  constexpr std::string_view KBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, KBom.size()) == KBom) bytes.remove_prefix(KBom.size());
  return IsValidUtf8(bytes) ? std::string(bytes) : Latin1ToUtf8(bytes);
}

std::vector<std::string> LoadStringList(std::string_view bytes) {
  const std::string text = TextToUtf8(bytes);
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
      ++end;
    start = end + 1;
  }
  return lines;
}

std::string SaveStringList(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace vyn
