#pragma once
// The what's-new window: the text with an accept and a refuse button.

#include <QDialog>
#include <string>

class QAbstractScrollArea;
class QPushButton;

namespace vyn {

class TWhatsNewDialog : public QDialog {
  Q_OBJECT
public:
  // `text` is RTF when `richText`, else UTF-8. Accepted by the OK button only.
  TWhatsNewDialog(const QString& caption, const std::string& text, bool richText,
                  const QString& okCaption, const QString& cancelCaption,
                  QWidget* parent = nullptr);

  QAbstractScrollArea* TextControl() const { return FText; }
  QPushButton* OkButton() const { return FOk; }
  QPushButton* CancelButton() const { return FCancel; }

private:
  QAbstractScrollArea* FText;
  QPushButton* FOk;
  QPushButton* FCancel;
};

}  // namespace vyn
