#pragma once
// The security zone of an address and the zone's display name and icon path, from the
// registry store's zone settings and site lists with built-in defaults.

#include <QString>

namespace vyn {

enum TUrlZone {
  uzMyComputer = 0,
  uzLocalIntranet = 1,
  uzTrusted = 2,
  uzInternet = 3,
  uzUntrusted = 4,
};

// What the status line shows of a zone; each text ends at its first NUL and holds at most
// 259 characters.
struct TZoneAttributes {
  QString DisplayName;
  QString IconPath;  // "module#number"
};

// file: and the program's own pages are My Computer; then the site lists
// (ZoneMap\Domains\<domain>[\<sub>], a value named after the scheme or "*"); then loopback
// addresses and dotless host names are Local intranet; anything else is Internet.
int MapUrlToZone(const QString& url);

// Zones\<zone> "DisplayName" and "Icon", from the current user, then the machine, then the
// built-in defaults, value by value.
TZoneAttributes GetZoneAttributes(int zone);

}  // namespace vyn
