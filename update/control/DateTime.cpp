#include "update/control/DateTime.h"
#include "platform/TextCase.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <vector>

namespace vyn {
namespace {

// Days since 1 March of year 0 style civil conversion (proleptic Gregorian).
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, int& y, int& m, int& d) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long yy = static_cast<long long>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}

const long long KEpochDays = DaysFromCivil(1899, 12, 30);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : days[m - 1];
}

int CurrentYear() { return DecodeDateTime(NowDateTime()).Year; }

void SkipBlanks(const std::string& s, size_t& pos) {
  while (pos < s.size() && s[pos] == ' ') ++pos;
}

// Reads up to 9 digits; `digits` receives how many were read.
bool ScanNumber(const std::string& s, size_t& pos, int& value, int& digits) {
  SkipBlanks(s, pos);
  digits = 0;
  value = 0;
  while (pos < s.size() && std::isdigit(static_cast<unsigned char>(s[pos]))) {
    if (digits == 9) return false;
    value = value * 10 + (s[pos] - '0');
    ++digits;
    ++pos;
  }
  return digits > 0;
}

bool ScanChar(const std::string& s, size_t& pos, char c) {
  SkipBlanks(s, pos);
  if (pos < s.size() && s[pos] == c) {
    ++pos;
    return true;
  }
  return false;
}

}  // namespace

TDateTime EncodeDateTime(int year, int month, int day, int hour, int minute, int second) {
  const long long days = DaysFromCivil(year, static_cast<unsigned>(month),
                                       static_cast<unsigned>(day)) - KEpochDays;
  return static_cast<double>(days) + (hour * 3600 + minute * 60 + second) / 86400.0;
}

TDateParts DecodeDateTime(TDateTime dt) {
  TDateParts p;
  double days = std::floor(dt);
  long long secs = std::llround((dt - days) * 86400.0);
  if (secs >= 86400) {
    secs -= 86400;
    days += 1;
  }
  CivilFromDays(static_cast<long long>(days) + KEpochDays, p.Year, p.Month, p.Day);
  p.Hour = static_cast<int>(secs / 3600);
  p.Minute = static_cast<int>(secs / 60 % 60);
  p.Second = static_cast<int>(secs % 60);
  return p;
}

TDateTime FileTimeToDateTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return EncodeDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                        tm.tm_sec);
}

TDateTime NowDateTime() { return FileTimeToDateTime(std::time(nullptr)); }

bool TryParseDate(const std::string& text, const std::string& format, char separator,
                  TDateTime& result) {
  enum { doDMY, doMDY, doYMD } order = doDMY;
  for (char c : format) {
    const char u = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (u == 'D' || u == 'M' || u == 'Y') {
      order = u == 'D' ? doDMY : u == 'M' ? doMDY : doYMD;
      break;
    }
  }
  size_t pos = 0;
  int n1 = 0, n2 = 0, n3 = 0, l1 = 0, l2 = 0, l3 = 0;
  if (!ScanNumber(text, pos, n1, l1) || !ScanChar(text, pos, separator) ||
      !ScanNumber(text, pos, n2, l2))
    return false;
  int year, month, day, yearDigits;
  if (ScanChar(text, pos, separator)) {
    if (!ScanNumber(text, pos, n3, l3)) return false;
    switch (order) {
      case doMDY: month = n1; day = n2; year = n3; yearDigits = l3; break;
      case doDMY: day = n1; month = n2; year = n3; yearDigits = l3; break;
      default: year = n1; month = n2; day = n3; yearDigits = l1; break;
    }
  } else {
    year = CurrentYear();
    yearDigits = 4;
    if (order == doMDY) {
      month = n1;
      day = n2;
    } else if (order == doDMY) {
      day = n1;
      month = n2;
    } else {
      month = n1;
      day = n2;
    }
  }
  SkipBlanks(text, pos);
  if (pos != text.size()) return false;
  if (yearDigits <= 2) {
    const int window = 50;
    const int current = CurrentYear();
    year += (current - window) / 100 * 100;
    if (year < current - window) year += 100;
  }
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month))
    return false;
  result = EncodeDateTime(year, month, day);
  return true;
}

bool TryParseTime(const std::string& text, char separator, TDateTime& result) {
  size_t pos = 0;
  int hour = 0, minute = 0, second = 0, digits = 0;
  if (!ScanNumber(text, pos, hour, digits)) return false;
  if (ScanChar(text, pos, separator)) {
    if (!ScanNumber(text, pos, minute, digits)) return false;
    if (ScanChar(text, pos, separator) && !ScanNumber(text, pos, second, digits)) return false;
  }
  SkipBlanks(text, pos);
  const std::string rest = UpperAscii(text.substr(pos));
  if (rest == "AM" || rest == "PM") {
    if (hour < 1 || hour > 12) return false;
    hour = hour % 12 + (rest == "PM" ? 12 : 0);
  } else if (!rest.empty()) {
    return false;
  }
  if (hour > 23 || minute > 59 || second > 59) return false;
  result = (hour * 3600 + minute * 60 + second) / 86400.0;
  return true;
}

std::string FormatShortDate(TDateTime dt) {
  const TDateParts p = DecodeDateTime(dt);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%04d", p.Day, p.Month, p.Year);
  return buf;
}

std::string FormatLongTime(TDateTime dt) {
  const TDateParts p = DecodeDateTime(dt);
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d:%02d:%02d", p.Hour, p.Minute, p.Second);
  return buf;
}

std::string FormatLogTimeStamp(TDateTime dt) { return FormatShortDate(dt) + " " + FormatLongTime(dt); }

}  // namespace vyn
