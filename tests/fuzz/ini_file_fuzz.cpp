// INI reading: any bytes as a file, every read, then a write, a delete and an erase, each of
// which must read back as done.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "platform/IniFile.h"

using vyn::TIniFile;
using vyn::fuzz::Fail;

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
  if (ini.WriteString(section, key, value)) {
    const TIniFile reread(path);
    ReadEverything(reread);
    if (reread.ReadString(section, key, "<absent>") != value)
      Fail("written value reads back as '" + reread.ReadString(section, key, "<absent>") + "'");
  }
  if (ini.DeleteKey(section, key) && TIniFile(path).ValueExists(section, key))
    Fail("deleted key still there: " + key);
  if (ini.EraseSection(section) && TIniFile(path).SectionExists(section))
    Fail("erased section still there: " + section);
  vyn::fuzz::EmptyScratchFolder();
  return 0;
}
