#include "AppTestSupport.h"

#include "app/ErrorReporting.h"

#include <QByteArray>
#include <QDir>
#include <QWebEnginePage>
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

TErrorRecorder::TErrorRecorder() {
  SetErrorReportHook([this](const QString& text) { Errors << text; });
}

TErrorRecorder::~TErrorRecorder() { SetErrorReportHook({}); }

void ClearRegistry() {
  QDir folder(qEnvironmentVariable("VYN_REGISTRY_DIR"));
  for (const QString& name : folder.entryList(QDir::Files)) folder.remove(name);
}

QVariant RunJavaScript(QWebEnginePage* page, const QString& script) {
  QVariant result;
  bool done = false;
  page->runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  if (!QTest::qWaitFor([&] { return done; }, 10000)) qWarning("script gave no answer: %s", qPrintable(script));
  return result;
}

}  // namespace vyn::test
