#include "update/trust/MinisignLines.h"

namespace vyn {

std::vector<std::string_view> MinisignLines(std::string_view Text) {
  std::vector<std::string_view> lines;
  while (!Text.empty()) {
    const std::size_t end = Text.find('\n');
    std::string_view line = Text.substr(0, end);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) lines.push_back(line);
    if (end == std::string_view::npos) break;
    Text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace vyn
