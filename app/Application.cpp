#include "app/Application.h"

#include "app/ErrorReporting.h"

namespace vyn {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (...) {
    ReportUnhandledError(CurrentExceptionText());
    return false;
  }
}

}  // namespace vyn
