#include "update/net/ProxyChoice.h"

#include <cctype>
#include <vector>

namespace vyn::net {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> SplitEntries(const std::string& list, const char* separators) {
  std::vector<std::string> entries;
  size_t start = 0;
  while (start < list.size()) {
    size_t end = list.find_first_of(separators, start);
    if (end == std::string::npos) end = list.size();
    if (end > start) entries.push_back(list.substr(start, end - start));
    start = end + 1;
  }
  return entries;
}

// Scheme and host name of an address, both in lower case; no user information, no port.
void SplitAddress(const std::string& url, std::string& scheme, std::string& host) {
  const size_t mark = url.find("://");
  scheme = mark == std::string::npos ? "" : Lower(url.substr(0, mark));
  std::string authority = url.substr(mark == std::string::npos ? 0 : mark + 3);
  authority = authority.substr(0, authority.find_first_of("/?#"));
  if (const size_t at = authority.rfind('@'); at != std::string::npos) authority.erase(0, at + 1);
  if (!authority.empty() && authority[0] == '[') {
    host = authority.substr(1, authority.find(']') - 1);
  } else {
    host = authority.substr(0, authority.find(':'));
  }
  host = Lower(host);
}

bool WildcardMatch(const std::string& pattern, const std::string& text) {
  size_t p = 0, t = 0, star = std::string::npos, mark = 0;
  while (t < text.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = t;
    } else if (p < pattern.size() && pattern[p] == text[t]) {
      ++p;
      ++t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool Bypassed(const std::string& bypassList, const std::string& scheme, const std::string& host) {
  for (std::string entry : SplitEntries(Lower(bypassList), "; \t")) {
    if (entry == "<local>") {
      if (host.find('.') == std::string::npos && host.find(':') == std::string::npos) return true;
      continue;
    }
    if (const size_t mark = entry.find("://"); mark != std::string::npos) {
      if (entry.substr(0, mark) != scheme) continue;
      entry.erase(0, mark + 3);
    }
    if (!entry.empty() && entry.back() == '/') entry.pop_back();
    if (WildcardMatch(entry, host)) return true;
  }
  return false;
}

}  // namespace

std::string ProxyForAddress(const std::string& proxyList, const std::string& bypassList,
                            const std::string& url) {
  const std::vector<std::string> entries = SplitEntries(proxyList, "; \t");
  if (entries.empty()) return "";
  std::string scheme, host;
  SplitAddress(url, scheme, host);
  if (Bypassed(bypassList, scheme, host)) return "";
  if (proxyList.find('=') == std::string::npos) return entries.front();
  for (const std::string& entry : entries) {
    const size_t equals = entry.find('=');
    if (equals != std::string::npos && Lower(entry.substr(0, equals)) == scheme)
      return entry.substr(equals + 1);
  }
  return "";
}

}  // namespace vyn::net
