#include "app/WebDocument.h"

#include "app/FindDialog.h"

#include <QWebEngineView>

namespace vyn {

TWebDocument::TWebDocument(QWebEngineView* view, QObject* parent) : QObject(parent), FView(view) {}

QString TWebDocument::Title() const { return FUntitled ? QString() : FView->page()->title(); }

QString TWebDocument::LocationProtocol() const {
  if (FErrorPage) return QStringLiteral("chrome-error:");
  return FView->page()->url().scheme() + QLatin1Char(':');
}

void TWebDocument::ShowFindDialog() {
  if (!FFindDialog) {
    FFindDialog = new TFindDialog(FView->page(), FView->window());
    FFindDialog->setAttribute(Qt::WA_DeleteOnClose);
  }
  FFindDialog->show();
  FFindDialog->raise();
  FFindDialog->activateWindow();
}

}  // namespace vyn
