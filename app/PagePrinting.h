#pragma once
// Printing the page of a web view, with or without the print dialog, and its print preview.
// Failures are raised (EWebBrowserError).

class QWebEngineView;

namespace vyn {

void PrintPage(QWebEngineView* view, bool promptUser);
void PreviewPage(QWebEngineView* view);

}  // namespace vyn
