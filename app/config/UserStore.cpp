#include "app/config/UserStore.h"

#include "platform/Registry.h"

namespace vyn {

bool UserStoreReadable() {
  try {
    TRegistry(THiveRoot::HKEY_CURRENT_USER).KeyExists("Software");
    return true;
  } catch (const ERegistryException&) {
    return false;
  }
}

}  // namespace vyn
