#include "app/BrowserProfile.h"

#include <QCoreApplication>
#include <QWebEngineProfile>

namespace vyn {

QWebEngineProfile* BrowserProfile() {
  static QWebEngineProfile* profile =
      new QWebEngineProfile(QStringLiteral("vynWebBrowser"), QCoreApplication::instance());
  return profile;
}

}  // namespace vyn
