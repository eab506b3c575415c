#include "app/OwnPages.h"

#include "platform/Registry.h"

namespace vyn {

namespace {

QUrl ConfiguredPage(const char* valueName, const char* shipped) {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  try {
    if (registry.OpenKeyReadOnly("Software\\Microsoft\\Internet Explorer\\Main") &&
        registry.ValueExists(valueName)) {
      const uint32_t type = registry.GetDataType(valueName);
      if (type == REG_SZ || type == REG_EXPAND_SZ) {
        const QUrl page = QUrl::fromUserInput(QString::fromStdString(registry.ReadString(valueName)));
        if (page.isValid() && !page.isEmpty()) return page;
      }
    }
  } catch (const ERegistryException&) {
    // A store that cannot be read names no page of its own.
  }
  return QUrl(QString::fromLatin1(shipped));
}

}  // namespace

QUrl OwnHomePage() { return ConfiguredPage("Start Page", "qrc:/vyn/pages/home.html"); }
QUrl OwnSearchPage() { return ConfiguredPage("Search Page", "qrc:/vyn/pages/search.html"); }

}  // namespace vyn
