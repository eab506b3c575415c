#pragma once
// A window that a page opens (window.open, a link to a new window): a plain view of its own
// page, freed when closed. It belongs to the browser's main window: it closes with it and
// never keeps the program running on its own.

#include <QWebEngineView>

namespace vyn {

class TPopupWindow : public QWebEngineView {
  Q_OBJECT
public:
  // Takes ownership of `page`; `owner` is the main window (none in a bare view).
  TPopupWindow(QWebEnginePage* page, QWidget* owner);
};

}  // namespace vyn
