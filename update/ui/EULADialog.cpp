#include "update/ui/EULADialog.h"

#include <QAbstractScrollArea>
#include <QPushButton>
#include <QRadioButton>

#include "update/ui/TextDialogFrame.h"

namespace vyn {

namespace {
// The standard width, or more when the caption would not fit in it.
int OptionWidth(const QRadioButton& option) {
  return qMax(KOptionWidth, option.sizeHint().width());
}
}  // namespace

TEULADialog::TEULADialog(const QString& caption, const std::string& text, bool richText,
                         const QString& okCaption, const QString& acceptCaption,
                         const QString& refuseCaption, QWidget* parent)
    : QDialog(parent) {
  SetUpTextDialog(*this, caption);
  FText = MakeTextControl(*this, text, richText);
  const QRect area = FText->geometry();
  const int top = area.top() + area.height() + 10;
  FOk = new QPushButton(okCaption, this);
  FOk->setGeometry(area.left() + area.width() - KButtonWidth, top, KButtonWidth, KButtonHeight);
  FOk->setDefault(true);
  connect(FOk, &QPushButton::clicked, this, &QDialog::accept);

  FAccept = new QRadioButton(acceptCaption, this);
  FAccept->setGeometry(10, top, OptionWidth(*FAccept), KOptionHeight);
  FRefuse = new QRadioButton(refuseCaption, this);
  FRefuse->setGeometry(FAccept->width() + 20, top, OptionWidth(*FRefuse), KOptionHeight);
  FRefuse->setChecked(true);

  setTabOrder(FOk, FAccept);
  setTabOrder(FAccept, FRefuse);
  setTabOrder(FRefuse, FText);
  FOk->setFocus();
}

bool TEULADialog::Accepted() const { return FAccept->isChecked(); }

}  // namespace vyn
