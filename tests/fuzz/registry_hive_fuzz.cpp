// Registry hive reading: any bytes as a hive file. What parses must be written back in a form
// that parses to the same keys and values, as the store does on every write; and a value
// written through the store into that file must leave every other key and value as it was.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "ScratchFolder.h"
#include "platform/Registry.h"

using namespace vyn;

namespace {

bool SameValue(const TRegValue& a, const TRegValue& b) {
  return a.Name == b.Name && a.Type == b.Type && a.Data == b.Data;
}

// `after` holds every key of `before`, in order, each with its values first and unchanged.
void RequireKept(const std::vector<TRegKey>& before, const std::vector<TRegKey>& after,
                 const std::string& text) {
  if (after.size() < before.size()) fuzz::Fail("keys lost\n" + text);
  for (size_t k = 0; k < before.size(); ++k) {
    const TRegKey& a = before[k];
    const TRegKey& b = after[k];
    if (a.Path != b.Path || b.Values.size() < a.Values.size())
      fuzz::Fail("key '" + a.Path + "' changed\n" + text);
    for (size_t v = 0; v < a.Values.size(); ++v)
      if (!SameValue(a.Values[v], b.Values[v]))
        fuzz::Fail("value '" + a.Values[v].Name + "' of '" + a.Path + "' changed\n" + text);
  }
}

std::vector<TRegKey> Parse(const std::string& text, THiveRoot root) {
  try {
    return ParseRegistryExport(text, "written.reg", root);
  } catch (const ERegistryException& error) {
    fuzz::Fail(std::string("written hive does not parse: ") + error.what() + "\n" + text);
  }
}

void ReadThroughStore(TRegistry& reg, const std::vector<TRegKey>& keys) {
  for (const TRegKey& key : keys) {
    if (!reg.OpenKeyReadOnly("\\" + key.Path)) continue;
    for (const std::string& name : reg.GetValueNames()) {
      reg.GetDataSize(name);
      try {
        reg.ReadString(name);
        reg.ReadInteger(name);
        reg.ReadBinaryData(name);
      } catch (const ERegistryException&) {
        // Reading a value as a type it is not raises; that is the point of the types.
      }
    }
    reg.GetKeyNames();
  }
  reg.CloseKey();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const THiveRoot root = size % 2 ? THiveRoot::HKEY_LOCAL_MACHINE : THiveRoot::HKEY_CURRENT_USER;
  std::vector<TRegKey> keys;
  try {
    keys = ParseRegistryExport(bytes, "input.reg", root);
  } catch (const ERegistryException&) {
    return 0;
  }
  const std::string written = FormatRegistryExport(keys, root);
  const std::vector<TRegKey> reread = Parse(written, root);
  if (reread.size() != keys.size()) fuzz::Fail("written hive has another key count\n" + written);
  RequireKept(keys, reread, written);

  const std::string hive = HiveFilePath(root);
  const std::string ours = std::filesystem::path(fuzz::ScratchFolder()).parent_path().string() + "/";
  if (hive.rfind(ours, 0) != 0) fuzz::Fail("the hive is not the process's own: " + hive);
  std::ofstream(hive, std::ios::binary) << bytes;
  {
    TRegistry reg(root);
    ReadThroughStore(reg, keys);
    const std::string path = keys.empty() ? "Software\\Fuzz" : keys.back().Path + "\\Fuzz";
    if (reg.OpenKey("\\" + path, true)) {
      reg.WriteString("FuzzValue", "written");
      if (reg.ReadString("FuzzValue") != "written") fuzz::Fail("a written value reads otherwise");
    }
  }
  std::stringstream stored;
  stored << std::ifstream(hive, std::ios::binary).rdbuf();
  RequireKept(keys, Parse(stored.str(), root), stored.str());
  std::remove(hive.c_str());
  return 0;
}
