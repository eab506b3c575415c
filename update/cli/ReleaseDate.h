#pragma once
// The [update] date of a release, in the engine's default date format (dd/mm/yyyy).

#include <optional>
#include <string>

namespace vyn::cli {

// "D/M/YYYY" or "DD/MM/YYYY" naming a real day from 1980 on, written as "DD/MM/YYYY"; empty
// otherwise.
std::optional<std::string> NormalReleaseDate(const std::string& text);

// Today's local date as "DD/MM/YYYY".
std::string TodayReleaseDate();

}  // namespace vyn::cli
