#pragma once
// The licence window: the text, one button that closes it, and the accept and refuse choices
// (refuse selected at first).

#include <QDialog>
#include <string>

class QAbstractScrollArea;
class QPushButton;
class QRadioButton;

namespace vyn {

class TEULADialog : public QDialog {
  Q_OBJECT
public:
  // `text` is RTF when `richText`, else UTF-8.
  TEULADialog(const QString& caption, const std::string& text, bool richText,
              const QString& okCaption, const QString& acceptCaption,
              const QString& refuseCaption, QWidget* parent = nullptr);

  // Whatever closed the window, the licence is accepted only with the accept choice selected.
  bool Accepted() const;

  QAbstractScrollArea* TextControl() const { return FText; }
  QPushButton* OkButton() const { return FOk; }
  QRadioButton* AcceptChoice() const { return FAccept; }
  QRadioButton* RefuseChoice() const { return FRefuse; }

private:
  QAbstractScrollArea* FText;
  QPushButton* FOk;
  QRadioButton* FAccept;
  QRadioButton* FRefuse;
};

}  // namespace vyn
