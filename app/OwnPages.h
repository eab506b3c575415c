#pragma once
// The browser control's own home and search pages: shipped with the program, unless the
// registry store names others (HKCU "Software\Microsoft\Internet Explorer\Main",
// "Start Page" and "Search Page"). A store that cannot be read names none.

#include <QUrl>

namespace vyn {

QUrl OwnHomePage();
QUrl OwnSearchPage();

}  // namespace vyn
