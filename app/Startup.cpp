#include "app/Startup.h"

#include "app/config/InternetSettings.h"
#include "app/config/UserStore.h"

#include <QApplication>
#include <QByteArray>
#include <QFile>
#include <QFont>
#include <QFontDatabase>

#include <unistd.h>

namespace vyn {

namespace {

void AddChromiumFlag(const QString& flag) {
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + ' ' + flag.toUtf8()).trimmed());
}

// The proxy of the internet options, in Chromium's own notation, which is the notation of
// the stored values: "host:port" or "http=host:port;https=host:port", exceptions by ';'.
void ApplyProxy() {
  // A store that cannot be read at all is the window's to report, when it loads its settings:
  // the engine starts without a proxy.
  if (!UserStoreReadable()) return;
  const TProxySettings proxy = LoadProxySettings();
  const QString server = proxy.Server.simplified().remove(QLatin1Char(' '));
  if (!proxy.Enabled || server.isEmpty()) return;
  AddChromiumFlag(QStringLiteral("--proxy-server=") + server);
  const QString bypass = proxy.Override.simplified().remove(QLatin1Char(' '));
  if (!bypass.isEmpty()) AddChromiumFlag(QStringLiteral("--proxy-bypass-list=") + bypass);
}

}  // namespace

void PrepareWebEngineEnvironment() {
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  ApplyProxy();
}

void RegisterFonts() {
  for (const char* file : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}) {
    if (QFile::exists(QLatin1String(file))) QFontDatabase::addApplicationFont(QLatin1String(file));
  }
  QApplication::setFont(MainFont());
}

QFont MainFont() {
  QFont font(QStringLiteral("Tahoma"));
  font.setPixelSize(11);
  return font;
}

}  // namespace vyn
