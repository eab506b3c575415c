#include "updater/ComponentListEntries.h"

#include <algorithm>
#include <cctype>

#include "platform/TextCase.h"

namespace vyn {

namespace {

constexpr size_t KValueBuffer = 128;

// The n of every FILEn key present (decimal without leading zeros, at most 2^31 - 1), sorted.
std::vector<int> FileEntryNumbers(const TIniFile& list) {
  std::vector<int> numbers;
  for (const std::string& key : list.ReadSection("FILES")) {
    if (key.size() < 5 || key.size() > 14) continue;
    const std::string prefix = UpperAscii(key.substr(0, 4));
    const std::string digits = key.substr(4);
    if (prefix != "FILE" || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
      continue;
    const long long n = std::stoll(digits);
    if (n <= 0x7FFFFFFF) numbers.push_back(static_cast<int>(n));
  }
  std::sort(numbers.begin(), numbers.end());
  numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
  return numbers;
}

}  // namespace

std::vector<TComponentListEntry> ReadComponentList(const TIniFile& list) {
  const int count = list.ReadInteger("FILES", "COUNT", 0);
  std::vector<TComponentListEntry> entries;
  for (const int number : FileEntryNumbers(list)) {
    if (number > count) break;
    const std::string n = std::to_string(number);
    entries.push_back({number, list.ReadStringLimited("FILES", "FILE" + n, "", KValueBuffer),
                       list.ReadStringLimited("FILES", "TARGET" + n, "", KValueBuffer)});
  }
  return entries;
}

}  // namespace vyn
