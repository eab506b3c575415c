#pragma once
// Which proxy carries a request, from a proxy list and an exception list written the way the
// internet options store them.

#include <string>

namespace vyn::net {

// `proxyList`: "host:port" (or an address) for every scheme, or "http=host:port;https=..." per
// scheme (entries separated by ';' or blanks; a scheme without an entry goes direct).
// `bypassList`: host names that go direct, separated by ';', '*' matching any run of
// characters, "<local>" matching every host name without a dot; letter case is ignored.
// The proxy for `url`, or "" for a direct connection.
std::string ProxyForAddress(const std::string& proxyList, const std::string& bypassList,
                            const std::string& url);

}  // namespace vyn::net
