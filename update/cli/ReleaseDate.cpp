#include "update/cli/ReleaseDate.h"

#include <chrono>
#include <cstdio>
#include <ctime>
#include <regex>

namespace vyn::cli {

namespace {

std::string FormatDate(unsigned day, unsigned month, int year) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u/%02u/%04d", day, month, year);
  return text;
}

}  // namespace

std::optional<std::string> NormalReleaseDate(const std::string& text) {
  static const std::regex pattern(R"((\d{1,2})/(\d{1,2})/(\d{4}))");
  std::smatch match;
  if (!std::regex_match(text, match, pattern)) return std::nullopt;
  const std::chrono::year_month_day date{std::chrono::year(std::stoi(match[3])),
                                         std::chrono::month(std::stoul(match[2])),
                                         std::chrono::day(std::stoul(match[1]))};
  // Before 1980 every installed copy would count as newer (the engine's fall-back date).
  if (!date.ok() || date.year() < std::chrono::year(1980)) return std::nullopt;
  return FormatDate(static_cast<unsigned>(date.day()), static_cast<unsigned>(date.month()),
                    static_cast<int>(date.year()));
}

std::string TodayReleaseDate() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return FormatDate(static_cast<unsigned>(local.tm_mday), static_cast<unsigned>(local.tm_mon + 1),
                    local.tm_year + 1900);
}

}  // namespace vyn::cli
