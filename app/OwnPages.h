#pragma once
// The browser control's own home and search pages: shipped with the program, unless the
// registry store names others (HKCU "Software\Microsoft\Internet Explorer\Main",
// "Start Page" and "Search Page").

#include <QUrl>

namespace vyn {

QUrl OwnHomePage();
QUrl OwnSearchPage();

}  // namespace vyn
