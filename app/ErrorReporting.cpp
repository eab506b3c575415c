#include "app/ErrorReporting.h"

#include <QApplication>
#include <QMessageBox>

namespace vyn {

namespace {
TErrorReportHook& Hook() {
  static TErrorReportHook hook;
  return hook;
}
}  // namespace

void SetErrorReportHook(TErrorReportHook hook) { Hook() = std::move(hook); }

void ReportUnhandledError(const QString& text) {
  if (Hook()) {
    Hook()(text);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), text);
}

QString CurrentExceptionText() {
  try {
    throw;
  } catch (const std::exception& error) {
    return QString::fromUtf8(error.what());
  } catch (...) {
    return QStringLiteral("Erreur inconnue");
  }
}

}  // namespace vyn
