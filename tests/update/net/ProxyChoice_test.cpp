// Which proxy a request takes from the internet options' notation.

#include <gtest/gtest.h>

#include "update/net/ProxyChoice.h"

namespace vyn::net {
namespace {

TEST(ProxyChoice, ListsPerSchemeAndExceptions) {
  struct TCase {
    const char* List;
    const char* Bypass;
    const char* Url;
    const char* Proxy;
  } cases[] = {
      {"", "", "http://a.example/x", ""},
      {"proxy:3128", "", "https://a.example/x", "proxy:3128"},
      {" proxy:3128 ; other:1", "", "http://a.example/x", "proxy:3128"},
      {"http://proxy:3128", "", "http://a.example/x", "http://proxy:3128"},
      {"http=hp:1;https=sp:2", "", "HTTPS://a.example/x", "sp:2"},
      {"http=hp:1;https=sp:2", "", "http://a.example/x", "hp:1"},
      {"http=hp:1", "", "https://a.example/x", ""},  // no entry for the scheme: direct
      // Exceptions: wildcards, letter case, <local>, a scheme of its own; user and port ignored.
      {"p:1", "*.Example.com", "http://u:pw@www.example.COM:8080/x", ""},
      {"p:1", "*.example.com", "http://example.com/x", "p:1"},
      {"p:1", "10.0.*;127.0.0.1", "http://127.0.0.1:8080/x", ""},
      {"p:1", "<local>", "http://intranet/x", ""},
      {"p:1", "<local>", "http://intranet.example/x", "p:1"},
      {"p:1", "https://secure.example", "http://secure.example/x", "p:1"},
      {"p:1", "https://secure.example", "https://secure.example/x", ""},
      {"p:1", "[::1]", "http://[::1]:80/x", "p:1"},
      {"p:1", "::1", "http://[::1]:80/x", ""},
  };
  for (const auto& c : cases)
    EXPECT_EQ(ProxyForAddress(c.List, c.Bypass, c.Url), c.Proxy)
        << c.List << " | " << c.Bypass << " | " << c.Url;
}

}  // namespace
}  // namespace vyn::net
