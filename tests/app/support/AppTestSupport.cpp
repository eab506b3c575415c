#include "AppTestSupport.h"

#include "app/ErrorReporting.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QTimer>
#include <QWebEnginePage>
#include <QtGlobal>

#include <unistd.h>

namespace vyn::test {

void PrepareWindowTestProcess() {
  if (geteuid() == 0) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
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

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  if (condition()) return true;
  QEventLoop loop;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
    if (condition()) loop.quit();
  });
  poll.start(5);
  QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
  loop.exec();
  return condition();
}

QVariant RunJavaScript(QWebEnginePage* page, const QString& script) {
  QVariant result;
  bool done = false;
  page->runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  if (!WaitFor([&] { return done; }, 10000)) qWarning("script gave no answer: %s", qPrintable(script));
  return result;
}

}  // namespace vyn::test
