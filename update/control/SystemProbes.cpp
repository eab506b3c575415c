#include <sys/utsname.h>

#include "platform/MachineInfo.h"
#include "platform/Registry.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

bool LocalMachineKeyExists(const std::string& key) {
  try {
    TRegistry reg(THiveRoot::HKEY_LOCAL_MACHINE);
    return reg.OpenKey(key, false);
  } catch (const ERegistryException&) {
    return false;
  }
}

}  // namespace

std::string TVudIvazoz::GetOSVersion() {
  const std::string product = OSProductName();
  if (!product.empty()) return product;
  struct utsname un {};
  if (::uname(&un) != 0) return "Unknown";
  return std::string(un.sysname) + " " + un.release;
}

std::string TVudIvazoz::GetIDE() {
#if defined(__clang__)
  return "Clang " __clang_version__;
#elif defined(__GNUC__)
  return "GCC " __VERSION__;
#else
  return "Unknown";
#endif
}

std::string TVudIvazoz::GetIEVersion() {
  try {
    TRegistry reg(THiveRoot::HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey("\\Software\\Microsoft\\Internet Explorer\\Version Vector", false))
      return "(not found)";
    return reg.ReadString("IE");
  } catch (const ERegistryException&) {
    return "(not found)";
  }
}

std::string TVudIvazoz::GetInstalledIDEs() {
  static const struct {
    const char* Key;
    const char* Token;
  } tools[] = {
      {"\\Software\\Borland\\Delphi\\5.0", "D5"},
      {"\\Software\\Borland\\Delphi\\6.0", "D6"},
      {"\\Software\\Borland\\Delphi\\7.0", "D7"},
      {"\\Software\\Borland\\BDS\\3.0", "D2005"},
      {"\\Software\\Borland\\BDS\\4.0", "D2006"},
      {"\\Software\\Borland\\BDS\\5.0", "D2007"},
      {"\\Software\\CodeGear\\BDS\\6.0", "D2009"},
      {"\\Software\\CodeGear\\BDS\\7.0", "D2010"},
      {"\\Software\\Embarcadero\\BDS\\8.0", "D2011"},
      {"\\Software\\Embarcadero\\BDS\\9.0", "DXE2"},
      {"\\Software\\Embarcadero\\BDS\\10.0", "DXE3"},
      {"\\Software\\Embarcadero\\BDS\\11.0", "DXE4"},
      {"\\Software\\Embarcadero\\BDS\\12.0", "DXE5"},
      {"\\Software\\Embarcadero\\BDS\\14.0", "DXE6"},
      {"\\Software\\Embarcadero\\BDS\\15.0", "DXE7"},
      {"\\Software\\Embarcadero\\BDS\\16.0", "DXE8"},
      {"\\Software\\Embarcadero\\BDS\\17.0", "D10"},
      {"\\Software\\Embarcadero\\BDS\\18.0", "D10.1"},
  };
  std::string result;
  for (const auto& tool : tools)
    if (LocalMachineKeyExists(tool.Key)) result += tool.Token;
  return result;
}

}  // namespace vyn
