
#include "update/VudIvazoz.h"
#include "platform/TextCase.h"

namespace vyn {

std::string TVudIvazoz::URLtoFile(const std::string& url) {
  std::string name = url;
  for (char separator : {'/', '\\', '?'}) {
    const size_t at = name.rfind(separator);
    if (at != std::string::npos) name.erase(0, at + 1);
  }
  if (OnFileNameFromURL) OnFileNameFromURL(*this, url, name);
  return name;
}

std::string TVudIvazoz::URLToDomain(const std::string& url) {
  std::string domain = url;
  if (const size_t at = domain.find("://"); at != std::string::npos) domain.erase(0, at + 3);
  if (const size_t at = domain.find('/'); at != std::string::npos) domain.erase(at);
  if (const size_t at = domain.find('\\'); at != std::string::npos) domain.erase(at);
  return domain;
}

std::string TVudIvazoz::MakeProxyUrl(const std::string& url, const std::string& proxyuser,
                                     const std::string& proxypwd) {
  const std::string scheme = UpperAscii(url.substr(0, 7));
  if (scheme != "HTTP://" || proxyuser.empty()) return url;
  return "http://" + proxyuser + ":" + proxypwd + "@" + url.substr(7);
}

}  // namespace vyn
