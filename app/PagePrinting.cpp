#include "app/PagePrinting.h"

#include "app/WebBrowserCommands.h"

#include <QEventLoop>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QWebEngineView>

namespace vyn {

namespace {

// Renders the page into `printer` and waits for the engine to finish; the printer must live
// until then, so this does not return earlier.
bool RenderInto(QWebEngineView* view, QPrinter* printer) {
  static bool busy = false;
  if (busy) return false;
  busy = true;
  bool success = false;
  QEventLoop loop;
  auto connection = QObject::connect(view, &QWebEngineView::printFinished, &loop, [&](bool ok) {
    success = ok;
    loop.quit();
  });
  view->print(printer);
  loop.exec();
  QObject::disconnect(connection);
  busy = false;
  return success;
}

}  // namespace

void PrintPage(QWebEngineView* view, bool promptUser) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setResolution(300);
  if (promptUser) {
    QPrintDialog dialog(&printer, view->window());
    if (dialog.exec() != QDialog::Accepted) return;
  }
  if (!RenderInto(view, &printer)) throw EWebBrowserError("L'impression de la page a échoué");
}

void PreviewPage(QWebEngineView* view) {
  QPrinter printer(QPrinter::HighResolution);
  printer.setResolution(300);
  QPrintPreviewDialog preview(&printer, view->window());
  QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, view,
                   [view](QPrinter* target) { RenderInto(view, target); });
  preview.exec();
}

}  // namespace vyn
