#include "update/cli/ReleaseAddress.h"

#include <cstdio>
#include <stdexcept>

namespace vyn::cli {

namespace {

// The characters a path segment of an address carries as they are.
bool PlainInAddress(unsigned char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  for (const char plain : std::string("-._~!$&'()*+,;=:@"))
    if (c == static_cast<unsigned char>(plain)) return true;
  return false;
}

std::string PercentEncoded(const std::string& segment) {
  std::string encoded;
  for (const unsigned char c : segment) {
    if (PlainInAddress(c)) {
      encoded += static_cast<char>(c);
    } else {
      char escape[4];
      std::snprintf(escape, sizeof escape, "%%%02X", c);
      encoded += escape;
    }
  }
  return encoded;
}

// Expanded as placeholders, read as separators or trimmed in a target folder.
bool FitsTargetFolder(const std::string& name) {
  if (name.front() == ' ' || name.back() == ' ') return false;
  for (const unsigned char c : name)
    if (c < 0x20 || c == 0x7F || c == '{' || c == '}' || c == '\\') return false;
  return true;
}

}  // namespace

std::string ReleaseFileAddress(const std::string& base, const TReleaseFile& file) {
  for (const unsigned char c : file.Name)
    if (!PlainInAddress(c))
      throw std::runtime_error(file.Path +
                               ": an address must encode this name, and the engine names a "
                               "download after its address as written: rename the file using "
                               "letters, digits and -._~!$&'()*+,;=:@");
  std::string address = base;
  size_t start = 0;
  while (start < file.Folder.size()) {
    size_t end = file.Folder.find('/', start);
    if (end == std::string::npos) end = file.Folder.size();
    const std::string segment = file.Folder.substr(start, end - start);
    if (!FitsTargetFolder(segment))
      throw std::runtime_error(file.Path + ": the folder name \"" + segment +
                               "\" cannot be a target folder of a control file (control "
                               "characters, braces, backslashes or surrounding blanks)");
    address += "/" + PercentEncoded(segment);
    start = end + 1;
  }
  return address + "/" + file.Name;
}

}  // namespace vyn::cli
