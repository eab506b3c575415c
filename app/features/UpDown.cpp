#include "app/features/UpDown.h"

#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vyn {

TUpDown::TUpDown(QLineEdit* associate, int min, int max, QWidget* parent)
    : QWidget(parent), Min(min), Max(max), Associate(associate) {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  btnUp = new QToolButton(this);
  btnUp->setArrowType(Qt::UpArrow);
  btnDown = new QToolButton(this);
  btnDown->setArrowType(Qt::DownArrow);
  for (QToolButton* button : {btnUp, btnDown}) {
    button->setFixedSize(16, 10);
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
    layout->addWidget(button);
  }
  connect(btnUp, &QToolButton::clicked, this, [this] { Step(1); });
  connect(btnDown, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::Step(int delta) {
  bool ok = false;
  const qlonglong current = Associate->text().toLongLong(&ok);
  qlonglong next;
  if (!ok)
    next = delta > 0 ? Min : Max;
  else
    next = std::clamp<qlonglong>(current + delta, Min, Max);
  Associate->setText(QString::number(next));
}

}  // namespace vyn
