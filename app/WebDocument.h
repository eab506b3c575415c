#pragma once
// The document the browser control shows: its title, the protocol of its location, the kind
// of its current selection and the find dialog.

#include <QObject>
#include <QPointer>
#include <QString>

class QWebEngineView;

namespace vyn {

class TFindDialog;

class TWebDocument : public QObject {
  Q_OBJECT
public:
  TWebDocument(QWebEngineView* view, QObject* parent);

  // The document's own title: empty for a page without one, where the engine would show
  // the address instead.
  QString Title() const;
  void SetUntitled(bool untitled) { FUntitled = untitled; }
  // The scheme of the location followed by ':' ("https:"); the engine's error page has its
  // own scheme, whatever address failed.
  QString LocationProtocol() const;
  void SetErrorPage(bool errorPage) { FErrorPage = errorPage; }
  // "Text" for a text selection, "None" for none or a caret, as last reported by the page.
  QString SelectionType() const { return FSelectionType; }
  void SetSelectionType(const QString& type) { FSelectionType = type; }

  // Opens the find dialog of this document (one at a time).
  void ShowFindDialog();

private:
  QWebEngineView* FView;
  QString FSelectionType = QStringLiteral("None");
  bool FErrorPage = false;
  bool FUntitled = false;
  QPointer<TFindDialog> FFindDialog;
};

}  // namespace vyn
