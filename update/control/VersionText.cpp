#include <cctype>
#include <cstdint>
#include <vector>

#include "platform/FileVersion.h"
#include "update/control/DateTime.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

struct TComponent {
  uint32_t Value = 0;  // low 16 bits of the number
  bool Valid = false;  // the whole text was a 32-bit integer
};

// Leading blanks and a sign allowed. Trailing non-digits, and digits that would carry the
// number beyond 32 bits, keep the value of the digits before them.
TComponent ReadComponent(const std::string& text) {
  TComponent c;
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const int64_t limit = negative ? 2147483648LL : 2147483647LL;
  const size_t digitsStart = pos;
  int64_t value = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos]))) {
    const int64_t next = value * 10 + (text[pos] - '0');
    if (next > limit) break;
    value = next;
    ++pos;
  }
  c.Value = static_cast<uint32_t>(negative ? -value : value) & 0xFFFF;
  c.Valid = pos > digitsStart && pos == text.size();
  return c;
}

}  // namespace

TVudVersion TVudIvazoz::ParseVersion(const std::string& text) {
  TVudVersion v;
  const char sep = text.find(',') != std::string::npos   ? ','
                   : text.find('.') != std::string::npos ? '.'
                                                         : '\0';
  if (sep == '\0') {
    const TComponent n = ReadComponent(text);
    if (n.Valid) {
      v.VersionMS = n.Value << 16;
      v.VersionLS = 0;
    }
    return v;
  }
  std::vector<std::string> parts;
  size_t start = 0;
  for (int i = 0; i < 3; ++i) {
    const size_t p = text.find(sep, start);
    if (p == std::string::npos) break;
    parts.push_back(text.substr(start, p - start));
    start = p + 1;
    // A component that is not a number ends the parsing and the rest becomes the last one:
    // "1.0b.0.1" is 1.0.0.0, never a build after 1.0.0.0.
    if (!ReadComponent(parts.back()).Valid) break;
  }
  parts.push_back(text.substr(start));

  const uint32_t a = ReadComponent(parts[0]).Value;
  const uint32_t b = ReadComponent(parts[1]).Value;
  v.VersionMS = (a << 16) | b;
  v.VersionLS = 0;
  if (parts.size() >= 3) v.VersionLS = ReadComponent(parts[2]).Value << 16;
  if (parts.size() == 4) {
    const TComponent d = ReadComponent(parts[3]);
    v.VersionLS = d.Valid ? (v.VersionLS | d.Value) : 0xFFFFFFFFu;
  }
  return v;
}

std::string TVudIvazoz::FormatVersion(const TVudVersion& version) {
  return std::to_string(version.VersionMS >> 16) + "." +
         std::to_string(version.VersionMS & 0xFFFF) + "." +
         std::to_string(version.VersionLS >> 16) + "." + std::to_string(version.VersionLS & 0xFFFF);
}

TVudVersion TVudIvazoz::GetFileVersion(const std::string& FileName) const {
  TVudVersion v;
  const auto info = ReadFixedFileInfo(FileName);
  if (info && info->Signature == 0xFEEF04BDu) {
    v.VersionMS = info->FileVersionMS;
    v.VersionLS = info->FileVersionLS;
  }
  return v;
}

TDateTime TVudIvazoz::ParseDateTime(const std::string& date, const std::string& time) const {
  TDateTime result = KFallbackDate;
  TDateTime value = 0;
  if (TryParseDate(date, DateFormat, DateSeparator, value)) result = value;
  if (!time.empty() && TryParseTime(time, TimeSeparator, value)) result += value;
  return result;
}

}  // namespace vyn
