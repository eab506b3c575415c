#include "app/FeatureSwitches.h"

#include "app/features/FeatureDefinitions.h"
#include "platform/Registry.h"

#include <QByteArray>
#include <QList>

namespace vyn {

namespace {

std::optional<bool> ReadSwitch(TRegistry& registry, const char* feature, const std::string& name) {
  const std::string key = std::string(FeatureKeyPrefix) + feature;
  std::optional<bool> result;
  if (registry.OpenKeyReadOnly(key)) {
    if (registry.GetDataType(name) == REG_DWORD && registry.GetDataSize(name) == 4)
      result = registry.ReadInteger(name) != 0;
    registry.CloseKey();
  }
  return result;
}

void AddChromiumFlag(const QByteArray& flag) {
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (flags.split(' ').contains(flag)) return;
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + ' ' + flag).trimmed());
}

}  // namespace

TFeatureSwitches ReadFeatureSwitches(const QString& executableName) {
  const std::string name = executableName.toStdString();
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  TFeatureSwitches switches;
  try {
    switches.PopupManagement = ReadSwitch(registry, "FEATURE_WEBOC_POPUPMANAGEMENT", name);
    switches.SpellChecking = ReadSwitch(registry, "FEATURE_SPELLCHECKING", name);
    switches.GpuRendering = ReadSwitch(registry, "FEATURE_GPU_RENDERING", name);
    switches.LocalMachineLockdown = ReadSwitch(registry, "FEATURE_LOCALMACHINE_LOCKDOWN", name);
    switches.BlockLocalScript = ReadSwitch(registry, "FEATURE_BLOCK_LMZ_SCRIPT", name);
    switches.UserNamePasswordDisable =
        ReadSwitch(registry, "FEATURE_HTTP_USERNAME_PASSWORD_DISABLE", name);
    switches.DomStorage = ReadSwitch(registry, "FEATURE_DOMSTORAGE", name);
  } catch (const ERegistryException&) {
    // Only a store that cannot be read at all gets here: the window says so with its settings.
    switches = TFeatureSwitches();
  }
  return switches;
}

void ApplyEngineStartSwitches(const TFeatureSwitches& switches) {
  if (switches.GpuRendering == false) AddChromiumFlag("--disable-gpu");
}

}  // namespace vyn
