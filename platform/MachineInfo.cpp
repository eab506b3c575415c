#include "platform/MachineInfo.h"

#include "platform/IniFile.h"

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

#include <arpa/inet.h>
#include <netdb.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vyn {

namespace {

constexpr size_t kComputerNameLength = 15;

std::string Trim(const std::string& text) {
  const char* blanks = " \t\r\n";
  size_t first = text.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// A value of an os-release file: shell-style double or single quotes, or a bare word.
std::string UnquoteShellValue(const std::string& raw) {
  std::string value = Trim(raw);
  if (value.empty()) return value;
  std::string result;
  if (value[0] == '\'') {
    size_t close = value.find('\'', 1);
    return value.substr(1, close == std::string::npos ? std::string::npos : close - 1);
  }
  if (value[0] != '"') return value;
  for (size_t i = 1; i < value.size(); ++i) {
    char c = value[i];
    if (c == '"') break;
    if (c == '\\' && i + 1 < value.size() && std::strchr("\\\"$`", value[i + 1])) c = value[++i];
    result += c;
  }
  return result;
}

std::string HostName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return "";
  return name;
}

// First `count` characters of UTF-8 text.
std::string FirstCharacters(const std::string& text, size_t count) {
  size_t characters = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80 && characters++ == count)
      return text.substr(0, i);
  }
  return text;
}

struct TAddressList {
  addrinfo* FList = nullptr;
  ~TAddressList() {
    if (FList) freeaddrinfo(FList);
  }
};

}  // namespace

std::string PrettyNameOfOSRelease(const std::string& fileName) {
  std::ifstream file(fileName);
  std::string line;
  const std::string key = "PRETTY_NAME=";
  while (std::getline(file, line)) {
    std::string trimmed = Trim(line);
    if (trimmed.compare(0, key.size(), key) == 0) return UnquoteShellValue(trimmed.substr(key.size()));
  }
  return "";
}

std::string WorkGroupOfSambaConfig(const std::string& fileName) {
  return Trim(TIniFile(fileName).ReadString("global", "workgroup", ""));
}

std::string OSProductName() {
  std::string name = PrettyNameOfOSRelease("/etc/os-release");
  return name.empty() ? PrettyNameOfOSRelease("/usr/lib/os-release") : name;
}

std::string ComputerName() {
  std::string name = HostName();
  return FirstCharacters(name.substr(0, name.find('.')), kComputerNameLength);
}

std::string FirstIPv4Address() {
  std::string host = HostName();
  if (host.empty()) return "";
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  TAddressList addresses;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &addresses.FList) != 0) return "";
  for (addrinfo* entry = addresses.FList; entry; entry = entry->ai_next) {
    if (entry->ai_family != AF_INET || !entry->ai_addr) continue;
    char text[INET_ADDRSTRLEN] = {};
    auto* address = reinterpret_cast<sockaddr_in*>(entry->ai_addr);
    if (inet_ntop(AF_INET, &address->sin_addr, text, sizeof text)) return text;
  }
  return "";
}

std::string UserName() {
  long size = sysconf(_SC_GETPW_R_SIZE_MAX);
  std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
  passwd entry{};
  passwd* found = nullptr;
  if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
      found->pw_name && *found->pw_name)
    return found->pw_name;
  const char* user = std::getenv("USER");
  return user ? user : "";
}

std::string DomainName() {
  char domain[256] = {};
  if (getdomainname(domain, sizeof domain - 1) == 0 && domain[0] &&
      std::strcmp(domain, "(none)") != 0)
    return domain;
  std::string host = HostName();
  if (host.empty()) return "";
  addrinfo hints{};
  hints.ai_flags = AI_CANONNAME;
  hints.ai_socktype = SOCK_STREAM;
  TAddressList addresses;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &addresses.FList) != 0 || !addresses.FList ||
      !addresses.FList->ai_canonname)
    return "";
  std::string canonical = addresses.FList->ai_canonname;
  size_t dot = canonical.find('.');
  return dot == std::string::npos ? "" : canonical.substr(dot + 1);
}

std::string WorkGroup() {
  return WorkGroupOfSambaConfig("/etc/samba/smb.conf");
}

}  // namespace vyn
