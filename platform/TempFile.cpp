#include "platform/TempFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "platform/Folders.h"

namespace vyn {

namespace {

// The first `count` UTF-8 characters of `text`.
std::string LeadingCharacters(const std::string& text, std::size_t count) {
  std::size_t characters = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
    if (characters++ == count) return text.substr(0, i);
  }
  return text;
}

}  // namespace

std::string GetTempFileName(const std::string& folder, const std::string& prefix, bool keep) {
  const std::string lead = LeadingCharacters(prefix, 3);
  if (folder.empty() || lead.find('/') != std::string::npos ||
      lead.find('\0') != std::string::npos)
    return "";
  const std::string base = IncludeTrailingSlash(folder) + lead;
  constexpr unsigned kNames = 0xFFFF;  // numbers 1 to FFFF; 0 is never used
  std::random_device entropy;
  unsigned number = std::uniform_int_distribution<unsigned>(1, kNames)(entropy);
  for (unsigned tries = 0; tries < kNames; ++tries) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%04X", number);
    const std::string name = base + digits + ".tmp";
    const int handle = open(name.c_str(), O_CREAT | O_EXCL | O_CLOEXEC | O_WRONLY, 0600);
    if (handle >= 0) {
      close(handle);
      if (!keep) unlink(name.c_str());
      return name;
    }
    if (errno != EEXIST) return "";
    number = number % kNames + 1;
  }
  return "";
}

std::string GetTempFile(const std::string& prefix, bool keep) {
  return GetTempFileName(SystemTempDir(), prefix, keep);
}

}  // namespace vyn
