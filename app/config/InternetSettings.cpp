#include "app/config/InternetSettings.h"

#include "platform/Registry.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace vyn {

namespace {

const char* const ProxyEnableName = "ProxyEnable";
const char* const ProxyServerName = "ProxyServer";
const char* const ProxyOverrideName = "ProxyOverride";

std::string ToStd(const QString& text) { return text.toStdString(); }

bool IsIPv4Address(const QString& host) {
  static const QRegularExpression dotted(QStringLiteral("^[0-9]{1,3}(\\.[0-9]{1,3}){3}$"));
  return dotted.match(host).hasMatch();
}

std::string SiteKeyPath(const TZoneSite& site) {
  std::string path = std::string(ZoneDomainsKey) + "\\" + ToStd(site.Domain());
  if (!site.SubDomain().isEmpty())
    path += "\\" + ToStd(site.SubDomain());
  return path;
}

// Adds the REG_DWORD values of one key whose zone is wanted; the key stands for `host`.
void ReadSitesOfKey(TRegistry& registry, const std::string& path, const QString& host,
                    const std::vector<int>& zones, std::vector<TZoneSite>& sites) {
  if (!registry.OpenKeyReadOnly(path))
    return;
  for (const std::string& name : registry.GetValueNames()) {
    if (name.empty() || registry.GetDataType(name) != REG_DWORD || registry.GetDataSize(name) != 4)
      continue;
    const int zone = registry.ReadInteger(name);
    if (std::find(zones.begin(), zones.end(), zone) != zones.end())
      sites.push_back({QString::fromStdString(name).toLower(), host.toLower(), zone});
  }
  registry.CloseKey();
}

bool KeyIsEmpty(TRegistry& registry, const std::string& path) {
  if (!registry.OpenKeyReadOnly(path))
    return false;
  const bool empty = registry.GetValueNames().empty() && registry.GetKeyNames().empty();
  registry.CloseKey();
  return empty;
}

void RemoveSite(TRegistry& registry, const TZoneSite& site) {
  const std::string path = SiteKeyPath(site);
  if (!registry.OpenKey(path, false))
    return;
  registry.DeleteValue(ToStd(site.Scheme));
  registry.CloseKey();
  if (KeyIsEmpty(registry, path))
    registry.DeleteKey(path);
  const std::string domainPath = std::string(ZoneDomainsKey) + "\\" + ToStd(site.Domain());
  if (domainPath != path && KeyIsEmpty(registry, domainPath))
    registry.DeleteKey(domainPath);
}

}  // namespace

TProxySettings LoadProxySettings() {
  TProxySettings settings;
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  if (!registry.OpenKeyReadOnly(InternetSettingsKey))
    return settings;
  if (registry.ValueExists(ProxyEnableName))
    settings.Enabled = registry.ReadInteger(ProxyEnableName) != 0;
  if (registry.ValueExists(ProxyServerName))
    settings.Server = QString::fromStdString(registry.ReadString(ProxyServerName));
  if (registry.ValueExists(ProxyOverrideName))
    settings.Override = QString::fromStdString(registry.ReadString(ProxyOverrideName));
  registry.CloseKey();
  return settings;
}

void SaveProxySettings(const TProxySettings& settings) {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  if (!registry.OpenKey(InternetSettingsKey, true))
    return;
  registry.WriteInteger(ProxyEnableName, settings.Enabled ? 1 : 0);
  registry.WriteString(ProxyServerName, ToStd(settings.Server));
  registry.WriteString(ProxyOverrideName, ToStd(settings.Override));
  registry.CloseKey();
}

QString TZoneSite::Text() const {
  return Scheme == QLatin1String("*") ? Host : Scheme + QStringLiteral("://") + Host;
}

QString TZoneSite::Domain() const {
  if (IsIPv4Address(Host))
    return Host;
  const QStringList labels = Host.split(QLatin1Char('.'));
  return labels.size() <= 2 ? Host : labels.mid(labels.size() - 2).join(QLatin1Char('.'));
}

QString TZoneSite::SubDomain() const {
  const QString domain = Domain();
  return domain == Host ? QString() : Host.left(Host.size() - domain.size() - 1);
}

bool TZoneSite::SameEntry(const TZoneSite& other) const {
  return Scheme == other.Scheme && Host == other.Host;
}

std::optional<TZoneSite> ParseZoneSite(const QString& text, int zone) {
  static const QRegularExpression site(QStringLiteral(
      "^(?:([a-z][a-z0-9+.-]*)://)?((?:\\*\\.)*(?:[a-z0-9_-]+\\.)*[a-z0-9_-]+)/?$"));
  const QRegularExpressionMatch match = site.match(text.trimmed().toLower());
  if (!match.hasMatch())
    return std::nullopt;
  TZoneSite result{match.captured(1).isEmpty() ? QStringLiteral("*") : match.captured(1), match.captured(2), zone};
  // A wildcard may only stand for the hosts under a domain, never for the domain itself.
  if (result.Domain().contains(QLatin1Char('*')))
    return std::nullopt;
  return result;
}

std::vector<TZoneSite> LoadZoneSites(const std::vector<int>& zones) {
  std::vector<TZoneSite> sites;
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  if (!registry.OpenKeyReadOnly(ZoneDomainsKey))
    return sites;
  const std::vector<std::string> domains = registry.GetKeyNames();
  registry.CloseKey();
  for (const std::string& domain : domains) {
    const std::string domainPath = std::string(ZoneDomainsKey) + "\\" + domain;
    const QString domainHost = QString::fromStdString(domain);
    ReadSitesOfKey(registry, domainPath, domainHost, zones, sites);
    if (!registry.OpenKeyReadOnly(domainPath))
      continue;
    const std::vector<std::string> subs = registry.GetKeyNames();
    registry.CloseKey();
    for (const std::string& sub : subs)
      ReadSitesOfKey(registry, domainPath + "\\" + sub, QString::fromStdString(sub) + QLatin1Char('.') + domainHost,
                     zones, sites);
  }
  return sites;
}

void SaveZoneSites(const std::vector<TZoneSite>& before, const std::vector<TZoneSite>& after) {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  for (const TZoneSite& old : before) {
    const bool kept = std::any_of(after.begin(), after.end(), [&](const TZoneSite& s) { return s.SameEntry(old); });
    if (!kept)
      RemoveSite(registry, old);
  }
  for (const TZoneSite& site : after) {
    const bool unchanged = std::any_of(before.begin(), before.end(), [&](const TZoneSite& s) {
      return s.SameEntry(site) && s.Zone == site.Zone;
    });
    if (unchanged || !registry.OpenKey(SiteKeyPath(site), true))
      continue;
    registry.WriteInteger(ToStd(site.Scheme), site.Zone);
    registry.CloseKey();
  }
}

QString ZoneDisplayName(int zone) {
  TRegistry registry(THiveRoot::HKEY_CURRENT_USER);
  if (registry.OpenKeyReadOnly(std::string(ZonesKey) + std::to_string(zone))) {
    const uint32_t type = registry.GetDataType("DisplayName");
    const QString name = type == REG_SZ || type == REG_EXPAND_SZ
                             ? QString::fromStdString(registry.ReadString("DisplayName"))
                             : QString();
    registry.CloseKey();
    if (!name.isEmpty())
      return name;
  }
  switch (zone) {
    case 0: return QStringLiteral("Poste de travail");
    case zoneLocalIntranet: return QStringLiteral("Intranet local");
    case zoneTrusted: return QStringLiteral("Sites de confiance");
    case 3: return QStringLiteral("Internet");
    case zoneRestricted: return QStringLiteral("Sites sensibles");
    default: return QString::number(zone);
  }
}

}  // namespace vyn
