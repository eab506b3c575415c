#include "update/trust/UpdatePublicKey.h"

#include "platform/Registry.h"

namespace vyn {

std::string UpdatePublicKey(const std::string& BuildKey, const std::string& RegPath) {
  std::string pinned;
  try {
    TRegistry machine(THiveRoot::HKEY_LOCAL_MACHINE);
    if (machine.OpenKeyReadOnly(RegPath) && machine.ValueExists("UpdatePublicKey"))
      pinned = machine.ReadString("UpdatePublicKey");
  } catch (const ERegistryException& error) {
    return std::string("no key: the machine's UpdatePublicKey cannot be read (") + error.what() +
           ")";
  }
  return pinned.empty() ? BuildKey : pinned;
}

}  // namespace vyn
