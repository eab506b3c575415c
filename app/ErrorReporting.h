#pragma once
// The least of the crash reporting: an error that leaves an event handler, a menu action or a
// window's creation is shown with its text and the program goes on with its message loop.

#include <QString>

#include <exception>
#include <functional>

namespace vyn {

// Shows `text` in an error box over the active window (or hands it to the hook).
void ReportUnhandledError(const QString& text);

// Replaces the error box, e.g. by a recorder in tests; an empty hook restores the box.
using TErrorReportHook = std::function<void(const QString& text)>;
void SetErrorReportHook(TErrorReportHook hook);

// The text of the exception being handled.
QString CurrentExceptionText();

// Runs `action`; any exception leaving it is reported and swallowed.
template <class TAction>
void RunReportingErrors(TAction&& action) {
  try {
    action();
  } catch (...) {
    ReportUnhandledError(CurrentExceptionText());
  }
}

// Runs `action`; any exception leaving it is swallowed without a word (guarded commands).
template <class TAction>
void RunIgnoringErrors(TAction&& action) {
  try {
    action();
  } catch (...) {
  }
}

}  // namespace vyn
