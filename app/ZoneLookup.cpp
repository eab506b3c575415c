#include "app/ZoneLookup.h"

#include "app/config/InternetSettings.h"
#include "platform/Registry.h"

#include <QHostAddress>
#include <QStringList>
#include <QUrl>

#include <optional>

namespace vyn {

namespace {

struct TBuiltInZone {
  const char* DisplayName;
  const char* IconPath;
};

const TBuiltInZone kBuiltInZones[] = {
    {"Poste de travail", "vynzones.dll#0"},   {"Intranet local", "vynzones.dll#1"},
    {"Sites de confiance", "vynzones.dll#2"}, {"Internet", "vynzones.dll#3"},
    {"Sites sensibles", "vynzones.dll#4"},
};

// The zone a site-list key assigns to `scheme`: its value named after the scheme, else "*".
std::optional<int> ZoneOfKey(const std::string& key, const std::string& scheme) {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  if (!registry.OpenKeyReadOnly(key)) return std::nullopt;
  for (const std::string& name : {scheme, std::string("*")}) {
    if (registry.ValueExists(name) && registry.GetDataType(name) == REG_DWORD)
      return registry.ReadInteger(name);
  }
  return std::nullopt;
}

// Walks the host from its longest domain down: <domain>\<sub>, <domain>\*, then <domain>
// itself, which covers the domain and every name below it.
std::optional<int> ZoneFromSiteLists(const QString& host, const QString& scheme) {
  if (host.isEmpty()) return std::nullopt;
  const bool isAddress = !QHostAddress(host).isNull();
  const QStringList labels = isAddress ? QStringList{host} : host.split(QLatin1Char('.'));
  const std::string schemeName = scheme.toStdString();
  for (qsizetype i = 0; i < labels.size(); ++i) {
    const QString domain = labels.mid(i).join(QLatin1Char('.'));
    if (labels.size() - i < 2 && i > 0) break;  // never a bare top-level domain
    const std::string domainKey = std::string(ZoneDomainsKey) + "\\" + domain.toStdString();
    if (i > 0) {
      const QString sub = labels.mid(0, i).join(QLatin1Char('.'));
      if (auto zone = ZoneOfKey(domainKey + "\\" + sub.toStdString(), schemeName)) return zone;
      if (auto zone = ZoneOfKey(domainKey + "\\*", schemeName)) return zone;
    }
    if (auto zone = ZoneOfKey(domainKey, schemeName)) return zone;
  }
  return std::nullopt;
}

bool IsIntranetHost(const QString& host) {
  if (host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0) return true;
  QHostAddress address;
  if (address.setAddress(host)) return address.isLoopback();
  return !host.contains(QLatin1Char('.'));
}

QString ZoneText(const std::string& text) {
  QString result = QString::fromStdString(text);
  const qsizetype nul = result.indexOf(QChar(0));
  if (nul >= 0) result.truncate(nul);
  result.truncate(259);
  return result;
}

// The zone's text value `name` from HKCU, then HKLM; nullopt when neither holds it as text.
std::optional<std::string> ZoneValue(int zone, const std::string& name) {
  const std::string key = std::string(ZonesKey) + std::to_string(zone);
  for (THiveRoot root : {THiveRoot::HKEY_CURRENT_USER, THiveRoot::HKEY_LOCAL_MACHINE}) {
    TRegistry registry(root);
    if (!registry.OpenKeyReadOnly(key)) continue;
    const uint32_t type = registry.GetDataType(name);
    if (type == REG_SZ || type == REG_EXPAND_SZ) return registry.ReadString(name);
  }
  return std::nullopt;
}

}  // namespace

int MapUrlToZone(const QString& url) {
  const QUrl address(url);
  const QString scheme = address.scheme().toLower();
  if (scheme == QLatin1String("file") || scheme == QLatin1String("qrc")) return uzMyComputer;
  const QString host = address.host().toLower();
  if (auto zone = ZoneFromSiteLists(host, scheme)) return *zone;
  if (!host.isEmpty() && IsIntranetHost(host)) return uzLocalIntranet;
  return uzInternet;
}

TZoneAttributes GetZoneAttributes(int zone) {
  TZoneAttributes attributes;
  const bool builtIn = zone >= 0 && zone < static_cast<int>(std::size(kBuiltInZones));
  auto name = ZoneValue(zone, "DisplayName");
  auto icon = ZoneValue(zone, "Icon");
  if (name) attributes.DisplayName = ZoneText(*name);
  else if (builtIn) attributes.DisplayName = QString::fromUtf8(kBuiltInZones[zone].DisplayName);
  if (icon) attributes.IconPath = ZoneText(*icon);
  else if (builtIn) attributes.IconPath = QString::fromUtf8(kBuiltInZones[zone].IconPath);
  return attributes;
}

}  // namespace vyn
