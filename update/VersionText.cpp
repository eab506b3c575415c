#include <cctype>

#include "platform/FileVersion.h"
#include "update/DateTime.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

struct TComponent {
  uint32_t Value = 0;  // low 16 bits of the number
  bool Valid = false;  // the whole text was an integer
};

// Leading blanks and a sign allowed; trailing non-digits keep the value of the leading digits.
TComponent ReadComponent(const std::string& text) {
  TComponent c;
  size_t pos = 0;
  while (pos < text.size() && text[pos] == ' ') ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  const size_t digitsStart = pos;
  uint32_t value = 0;
  while (pos < text.size() && std::isdigit(static_cast<unsigned char>(text[pos])))
    value = value * 10 + static_cast<uint32_t>(text[pos++] - '0');
  if (negative) value = 0u - value;
  c.Value = value & 0xFFFF;
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
  }
  parts.push_back(text.substr(start));  // everything after the last separator taken

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
