#pragma once
// A window that a page opens (window.open, a link to a new window): a plain view of its own
// page, freed when closed.

#include <QWebEngineView>

namespace vyn {

class TPopupWindow : public QWebEngineView {
  Q_OBJECT
public:
  // Takes ownership of `page`.
  explicit TPopupWindow(QWebEnginePage* page);
};

}  // namespace vyn
