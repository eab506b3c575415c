// INI reading: any bytes as a file, every read, then a write, a delete and an erase, each of
// which must read back as done and leave every other value as it was.
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <utility>

#include "ScratchFolder.h"
#include "platform/IniFile.h"

using vyn::TIniFile;
using vyn::fuzz::Fail;
namespace fuzz = vyn::fuzz;

namespace {

void ReadEverything(const TIniFile& ini) {
  for (const std::string& section : ini.ReadSections()) {
    if (!ini.SectionExists(section)) Fail("listed section missing: " + section);
    for (const std::string& key : ini.ReadSection(section)) {
      if (!ini.ValueExists(section, key)) Fail("listed key missing: " + key);
      ini.ReadInteger(section, key, 0);
      if (ini.ReadStringLimited(section, key, "", 8).size() > ini.ReadString(section, key, "").size())
        Fail("a limited read is longer than the value");
    }
  }
}

using TValues = std::map<std::pair<std::string, std::string>, std::string>;

TValues AllValues(const TIniFile& ini) {
  TValues values;
  for (const std::string& section : ini.ReadSections())
    for (const std::string& key : ini.ReadSection(section))
      values[{section, key}] = ini.ReadString(section, key, "");
  return values;
}

// Every value of `before` but the one named reads the same from the file now.
void RequireOthersKept(const TValues& before, const std::string& path, const std::string& section,
                       const std::string& key, const char* what) {
  const TIniFile now(path);
  for (const auto& [name, value] : before) {
    if (name.first == section && (key.empty() || name.second == key)) continue;
    if (now.ReadString(name.first, name.second, "<absent>") != value)
      fuzz::Fail(std::string(what) + " changed [" + name.first + "] " + name.second + " from '" +
                 value + "' to '" + now.ReadString(name.first, name.second, "<absent>") + "'");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = vyn::fuzz::WriteScratchFile("input.ini", data, size);
  TIniFile ini(path);
  ReadEverything(ini);

  const std::vector<std::string> sections = ini.ReadSections();
  const std::string section = sections.empty() ? "fuzz" : sections.front();
  const std::vector<std::string> keys = ini.ReadSection(section);
  const std::string key = keys.empty() ? "key" : keys.front();
  static const char* const values[] = {"value", " padded ", "\"quoted\"", "", "'a\" ; b"};
  const std::string value = values[size % 5];
  const TValues before = AllValues(ini);
  if (ini.WriteString(section, key, value)) {
    const TIniFile reread(path);
    ReadEverything(reread);
    if (reread.ReadString(section, key, "<absent>") != value)
      Fail("written value reads back as '" + reread.ReadString(section, key, "<absent>") + "'");
    RequireOthersKept(before, path, section, key, "a write");
  }
  if (ini.DeleteKey(section, key)) {
    if (TIniFile(path).ValueExists(section, key)) Fail("deleted key still there: " + key);
    RequireOthersKept(before, path, section, key, "a delete");
  }
  if (ini.EraseSection(section)) {
    if (TIniFile(path).SectionExists(section)) Fail("erased section still there: " + section);
    RequireOthersKept(before, path, section, "", "an erase");
  }
  vyn::fuzz::EmptyScratchFolder();
  return 0;
}
