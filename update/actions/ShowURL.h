#pragma once
#include <string>

namespace vyn {

// Opens `address` in the desktop's browser, with the proxy's credentials embedded in an
// "http://" address when a user is given; does not wait, failures are silent. An address that
// starts with '-' is refused: the opener would take it for one of its options.
void ShowURL(const std::string& address, const std::string& proxyUser,
             const std::string& proxyPassword);

}  // namespace vyn
