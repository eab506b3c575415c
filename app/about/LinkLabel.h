#pragma once
// A label that acts on a click, as a web address on a dialog does: hand cursor, link colour,
// underlined.

#include <QLabel>

namespace vyn {

class TLinkLabel : public QLabel {
  Q_OBJECT
public:
  TLinkLabel(const QString& text, QWidget* parent);

signals:
  void Click();

protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace vyn
