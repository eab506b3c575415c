#pragma once
// The control's page-properties dialog: title, address, protocol, type, size, dates and
// security of the page shown.

#include <QDialog>

class QFormLayout;
class QLabel;
class QWebEngineView;

namespace vyn {

class TPagePropertiesDialog : public QDialog {
  Q_OBJECT
public:
  TPagePropertiesDialog(QWebEngineView* view, QWidget* parent);

private:
  QLabel* AddRow(QFormLayout* form, const char* name, const QString& caption, const QString& text);
  QLabel* FType;
  QLabel* FCharset;
  QLabel* FSize;
  QLabel* FModified;
};

}  // namespace vyn
