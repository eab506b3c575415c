#include "update/ui/StatusWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "update/ui/FileCopyAnimation.h"

namespace vyn {

namespace {
constexpr int KWidth = 300;
constexpr int KHeight = 170;
constexpr int KMargin = 10;
}  // namespace

TStatusWindow::TStatusWindow(QWidget* parent)
    : QDialog(parent), FAnimation(new TFileCopyAnimation(this)), FMessage(new QLabel(this)) {
  // A dialog frame without border icons: the window goes when the program has ended.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
  setFixedSize(KWidth, KHeight);
  FAnimation->move(KMargin, KMargin);
  FMessage->setWordWrap(true);
  FMessage->setGeometry(KMargin, FAnimation->y() + FAnimation->height() + 8,
                        KWidth - 2 * KMargin, KHeight - FAnimation->height() - 8 - 3 * KMargin);
  FMessage->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

void TStatusWindow::SetTexts(const QString& caption, const QString& message) {
  setWindowTitle(caption);
  FMessage->setText(message);
}

}  // namespace vyn
