#include "update/ui/ProgressForm.h"

#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <QScreen>
#include <climits>

#include "update/log/Messages.h"

namespace vyn {

namespace {
constexpr int KBarLeft = 10;
constexpr int KBarTop = 40;
constexpr int KBarWidth = 264;
constexpr int KBarHeight = 17;
constexpr int KWidth = 300;
constexpr int KHeight = 110;
}  // namespace

TProgressForm::TProgressForm(QWidget* parent)
    : QDialog(parent), FProgressBar(new QProgressBar(this)), FLabel(new QLabel(this)) {
  // A dialog frame without border icons.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setWindowTitle(QString::fromStdString(FormatMessage(978, "")));
  resize(KWidth, KHeight);
  FLabel->move(10, 10);
  FProgressBar->setGeometry(KBarLeft, KBarTop, KBarWidth, KBarHeight);
  FProgressBar->setTextVisible(false);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void TProgressForm::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  // Anchored left, top and right: the bar keeps its right margin.
  const int rightMargin = KWidth - KBarLeft - KBarWidth;
  FProgressBar->setGeometry(KBarLeft, KBarTop, qMax(0, width() - KBarLeft - rightMargin),
                            KBarHeight);
}

void TProgressForm::SetProgress(const QString& label, long long pos, long long size) {
  long long divisor = 1;
  while (size / divisor > INT_MAX) divisor *= 2;
  FProgressBar->setRange(0, static_cast<int>(size / divisor));
  FProgressBar->setValue(static_cast<int>(qBound(0LL, pos, size) / divisor));
  FLabel->setText(label);
  FLabel->adjustSize();
}

}  // namespace vyn
