#include <algorithm>
#include <cctype>

#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "updater/ComponentProcessor.h"
#include "updater/TargetPath.h"
#include "platform/TextCase.h"

namespace vyn {

namespace {

constexpr size_t KValueBuffer = 128;

// The highest n of the FILEn keys present: entries past it would only be empty names, and a
// COUNT of two thousand million must not keep the updater busy for hours.
int LastFileEntry(const TIniFile& list) {
  int last = 0;
  for (const std::string& key : list.ReadSection("FILES")) {
    if (key.size() < 5 || key.size() > 14) continue;
    const std::string prefix = UpperAscii(key.substr(0, 4));
    const std::string digits = key.substr(4);
    if (prefix != "FILE" || digits[0] == '0' ||
        !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
      continue;
    const long long n = std::stoll(digits);
    if (n <= 0x7FFFFFFF) last = std::max(last, static_cast<int>(n));
  }
  return last;
}

}  // namespace

void TComponentProcessor::ProcessList(const std::string& name, const std::string& staged,
                                      const std::string& staging) {
  FLog.Write("Upd inf file: " + staging + name);
  if (std::find(FOpenLists.begin(), FOpenLists.end(), staged) != FOpenLists.end()) {
    FLog.Write("Upd refused component : " + name);
    return;
  }
  const TIniFile list(staged);
  const int count = std::min(list.ReadInteger("FILES", "COUNT", 0), LastFileEntry(list));
  FOpenLists.push_back(staged);
  for (int i = 1; i <= count; ++i) {
    const std::string n = std::to_string(i);
    const std::string file = list.ReadStringLimited("FILES", "FILE" + n, "", KValueBuffer);
    const std::string target = list.ReadStringLimited("FILES", "TARGET" + n, "", KValueBuffer);
    FLog.Write("upd inf " + n + " : " + file + " " + target);
    ProcessComponent(ToLocalSeparators(file), staging, ExpandTargetPath(target));
  }
  FOpenLists.pop_back();
}

}  // namespace vyn
