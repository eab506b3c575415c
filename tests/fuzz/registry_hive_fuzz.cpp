// Registry hive reading: any bytes as a hive file. What parses must be written back in a form
// that parses to the same keys and values, as the store does on every write.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ScratchFolder.h"
#include "platform/Registry.h"

using namespace vyn;

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
  std::vector<TRegKey> reread;
  try {
    reread = ParseRegistryExport(written, "written.reg", root);
  } catch (const ERegistryException& error) {
    fuzz::Fail(std::string("written hive does not parse: ") + error.what() + "\n" + written);
  }
  if (reread.size() != keys.size()) fuzz::Fail("written hive has another key count\n" + written);
  for (size_t k = 0; k < keys.size(); ++k) {
    const TRegKey& a = keys[k];
    const TRegKey& b = reread[k];
    if (a.Path != b.Path || a.Values.size() != b.Values.size())
      fuzz::Fail("key '" + a.Path + "' changed on writing\n" + written);
    for (size_t v = 0; v < a.Values.size(); ++v)
      if (a.Values[v].Name != b.Values[v].Name || a.Values[v].Type != b.Values[v].Type ||
          a.Values[v].Data != b.Values[v].Data)
        fuzz::Fail("value '" + a.Values[v].Name + "' of '" + a.Path + "' changed on writing\n" +
                   written);
  }
  return 0;
}
