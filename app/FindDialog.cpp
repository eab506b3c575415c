#include "app/FindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>

namespace vyn {

TFindDialog::TFindDialog(QWebEnginePage* page, QWidget* parent)
    : QDialog(parent), FPage(page), FText(new QLineEdit(this)),
      FMatchCase(new QCheckBox(QStringLiteral("Respecter la casse"), this)),
      FStatus(new QLabel(this)) {
  setWindowTitle(QStringLiteral("Rechercher"));
  FText->setObjectName(QStringLiteral("edtFind"));
  FStatus->setObjectName(QStringLiteral("lblStatus"));
  auto* next = new QPushButton(QStringLiteral("Suivant"), this);
  auto* previous = new QPushButton(QStringLiteral("Précédent"), this);
  auto* close = new QPushButton(QStringLiteral("Fermer"), this);
  next->setDefault(true);
  auto* layout = new QGridLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Rechercher :"), this), 0, 0);
  layout->addWidget(FText, 0, 1);
  layout->addWidget(next, 0, 2);
  layout->addWidget(FMatchCase, 1, 1);
  layout->addWidget(previous, 1, 2);
  layout->addWidget(FStatus, 2, 1);
  layout->addWidget(close, 2, 2);
  connect(next, &QPushButton::clicked, this, [this] { FindNext(false); });
  connect(previous, &QPushButton::clicked, this, [this] { FindNext(true); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void TFindDialog::FindNext(bool backward) {
  if (!FPage) return;
  QWebEnginePage::FindFlags flags;
  if (backward) flags |= QWebEnginePage::FindBackward;
  if (FMatchCase->isChecked()) flags |= QWebEnginePage::FindCaseSensitively;
  QPointer<QLabel> status = FStatus;
  FPage->findText(FText->text(), flags, [status](const QWebEngineFindTextResult& result) {
    if (!status) return;
    status->setText(result.numberOfMatches() == 0
                        ? QStringLiteral("Texte introuvable")
                        : QStringLiteral("%1 sur %2").arg(result.activeMatch()).arg(result.numberOfMatches()));
  });
}

void TFindDialog::done(int result) {
  if (FPage) FPage->findText(QString());
  QDialog::done(result);
}

}  // namespace vyn
