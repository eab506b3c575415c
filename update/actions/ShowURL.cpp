#include "update/actions/ShowURL.h"

#include "platform/Process.h"
#include "update/VudIvazoz.h"

namespace vyn {

void ShowURL(const std::string& address, const std::string& proxyUser,
             const std::string& proxyPassword) {
  if (address.empty() || address.front() == '-') return;
  OpenWithDesktop(TVudIvazoz::MakeProxyUrl(address, proxyUser, proxyPassword));
}

}  // namespace vyn
