#include "update/transfer/PreconfiguredProxy.h"

#include "platform/Registry.h"

namespace vyn {

TPreconfiguredProxy ReadPreconfiguredProxy() {
  TPreconfiguredProxy proxy;
  try {
    TRegistry reg(THiveRoot::HKEY_CURRENT_USER);
    if (!reg.OpenKeyReadOnly("Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings") ||
        !reg.ValueExists("ProxyEnable") || reg.ReadInteger("ProxyEnable") == 0)
      return proxy;
    proxy.Server = reg.ReadString("ProxyServer");
    proxy.Override = reg.ReadString("ProxyOverride");
  } catch (const ERegistryException&) {
    return {};
  }
  return proxy;
}

}  // namespace vyn
