#include "update/ui/WhatsNewDialog.h"

#include <QAbstractScrollArea>
#include <QPushButton>

#include "update/ui/TextDialogFrame.h"

namespace vyn {

TWhatsNewDialog::TWhatsNewDialog(const QString& caption, const std::string& text, bool richText,
                                 const QString& okCaption, const QString& cancelCaption,
                                 QWidget* parent)
    : QDialog(parent) {
  SetUpTextDialog(*this, caption);
  FText = MakeTextControl(*this, text, richText);
  const QRect area = FText->geometry();
  const int top = area.top() + area.height() + 10;
  FOk = new QPushButton(okCaption, this);
  FOk->setGeometry(area.left() + area.width() - 2 * KButtonWidth - 10, top, KButtonWidth,
                   KButtonHeight);
  FOk->setDefault(true);
  FCancel = new QPushButton(cancelCaption, this);
  FCancel->setGeometry(area.left() + area.width() - KButtonWidth, top, KButtonWidth,
                       KButtonHeight);
  connect(FOk, &QPushButton::clicked, this, &QDialog::accept);
  connect(FCancel, &QPushButton::clicked, this, &QDialog::reject);
  setTabOrder(FOk, FCancel);
  setTabOrder(FCancel, FText);
  FOk->setFocus();
}

}  // namespace vyn
