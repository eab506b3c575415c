#include "AppTestSupport.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

namespace vyn::test {

void PrepareWindowTestProcess() {
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
  if (!flags.contains("--disable-gpu")) {
    flags = (flags + " --disable-gpu").trimmed();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
  }
  if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace vyn::test
