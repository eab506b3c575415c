#pragma once
// The internet settings the browser control and the zone lookup read: the proxy and the
// sites assigned to a security zone, stored under the keys Windows uses.

#include <QString>

#include <optional>
#include <vector>

namespace vyn {

inline constexpr const char* InternetSettingsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
inline constexpr const char* ZoneDomainsKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\ZoneMap\\Domains";
inline constexpr const char* ZonesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\";

// The proxy exception that stands for every host name without a dot.
inline constexpr const char* ProxyBypassLocal = "<local>";

struct TProxySettings {
  bool Enabled = false;  // "ProxyEnable" (REG_DWORD 0 or 1)
  QString Server;        // "ProxyServer": host:port
  QString Override;      // "ProxyOverride": exceptions separated by ';'
};

// Missing values read as empty / disabled; a value of the wrong type raises ERegistryException.
TProxySettings LoadProxySettings();
void SaveProxySettings(const TProxySettings& settings);

// The zones whose site lists the user edits.
inline constexpr int zoneLocalIntranet = 1;
inline constexpr int zoneTrusted = 2;
inline constexpr int zoneRestricted = 4;

// One site of a zone list. It is stored as a REG_DWORD named after the scheme ("*" for any)
// holding the zone, in "ZoneMap\Domains\<domain>" where <domain> is the host's last two
// labels, or in its subkey "<rest of the host>" when the host has more labels. An IPv4
// address is a domain of its own, never split.
struct TZoneSite {
  QString Scheme;  // "*", "http", "https"...
  QString Host;    // lower case; leading labels may be "*"
  int Zone = 0;

  QString Text() const;        // "www.example.com" for any scheme, else "https://www.example.com"
  QString Domain() const;      // subkey of ZoneMap\Domains
  QString SubDomain() const;   // subkey of that, or "" when the site is the domain itself
  bool SameEntry(const TZoneSite& other) const;  // same key and value name
};

// Reads "[scheme://]host[/]"; nullopt when it is not a site (empty, path, port, bad name).
std::optional<TZoneSite> ParseZoneSite(const QString& text, int zone);

// Every site of the given zones; values of another type than REG_DWORD are ignored.
std::vector<TZoneSite> LoadZoneSites(const std::vector<int>& zones);

// Writes what changed between two loads of the lists: removed sites lose their value (and
// keys left empty are deleted), new or moved sites are written.
void SaveZoneSites(const std::vector<TZoneSite>& before, const std::vector<TZoneSite>& after);

// "DisplayName" of Zones\N when it is a string, else the French name of the zone.
QString ZoneDisplayName(int zone);

}  // namespace vyn
