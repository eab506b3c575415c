#include "app/config/Settings.h"

#include <QFileInfo>
#include <QWidget>

namespace vyn {

QString BuildRegPath(const QString& executablePath) {
  return QStringLiteral("Software\\%1\\WebBrowser%2")
      .arg(QString::fromUtf8(VendorKey), QFileInfo(executablePath).fileName());
}

void LoadConfig(const QString& regPath, tyConfig& config) {
  const std::string key = regPath.toStdString();
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  bool exists = false;
  try {
    exists = registry.KeyExists(key);
  } catch (const ERegistryException& error) {
    // Not a first run: the file is there and is never written over.
    config = tyConfig();
    for (bool tyConfig::*flag : ConfigFlags) config.*flag = true;
    throw ESettingsUnreadable(error.what());
  }
  if (!exists) {
    config.HomePage = QString::fromUtf8(FirstRunHomePage);
    for (bool tyConfig::*flag : ConfigFlags) config.*flag = true;
    SaveConfig(regPath, config);
    return;
  }
  if (!registry.OpenKeyReadOnly(key)) return;
  if (registry.ValueExists("HomePage"))
    config.HomePage = QString::fromStdString(registry.ReadString("HomePage"));
  for (size_t i = 0; i < ConfigFlags.size(); ++i) {
    if (registry.ValueExists(ConfigFlagNames[i]))
      config.*ConfigFlags[i] = registry.ReadInteger(ConfigFlagNames[i]) != 0;
  }
  registry.CloseKey();
}

void SaveConfig(const QString& regPath, const tyConfig& config) {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  if (!registry.OpenKey(regPath.toStdString(), true)) return;
  registry.WriteString("HomePage", config.HomePage.toStdString());
  for (size_t i = 0; i < ConfigFlags.size(); ++i)
    registry.WriteInteger(ConfigFlagNames[i], config.*ConfigFlags[i] ? 1 : 0);
  registry.CloseKey();
}

void ApplyButtonVisibility(const tyConfig& config, const std::array<TToolbarSlot, 14>& toolbar) {
  for (size_t i = 0; i < toolbar.size(); ++i) {
    const bool shown = config.*ConfigFlags[i];
    toolbar[i].Button->setVisible(shown);
    if (toolbar[i].Spacer) toolbar[i].Spacer->setVisible(shown);
  }
}

}  // namespace vyn
