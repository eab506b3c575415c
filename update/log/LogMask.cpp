#include "update/log/LogMask.h"

namespace vyn {

std::string MaskUrlPassword(const std::string& url) {
  std::string result = url;
  size_t from = 0;
  for (size_t scheme; (scheme = result.find("://", from)) != std::string::npos;) {
    const size_t start = scheme + 3;
    // A password may hold '/', '?', '#' and '@' itself, so the user information runs to the
    // last '@' of the address: hiding a little too much beats showing a password.
    size_t end = result.find_first_of(" \t\r\n", start);
    if (end == std::string::npos) end = result.size();
    const size_t at = end > start ? result.rfind('@', end - 1) : std::string::npos;
    if (at != std::string::npos && at >= start) {
      const size_t colon = result.find(':', start);
      if (colon < at) result.replace(colon + 1, at - colon - 1, "***");
    }
    from = start;
  }
  return result;
}

}  // namespace vyn
