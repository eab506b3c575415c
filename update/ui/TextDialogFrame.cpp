#include "update/ui/TextDialogFrame.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

#include "update/ui/RtfReader.h"

namespace vyn {

namespace {
constexpr int KSize = 400;
constexpr int KMargin = 10;
}  // namespace

void SetUpTextDialog(QDialog& dialog, const QString& caption) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  dialog.setWindowTitle(caption);
  dialog.setFixedSize(KSize, KSize);
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    dialog.move(screen->geometry().center() - dialog.rect().center());
}

QAbstractScrollArea* MakeTextControl(QDialog& dialog, const std::string& text, bool richText) {
  QAbstractScrollArea* control;
  if (richText) {
    auto* edit = new QTextEdit(&dialog);
    edit->setReadOnly(true);
    edit->setLineWrapMode(QTextEdit::WidgetWidth);
    ReadRtf(text, *edit->document());
    control = edit;
  } else {
    auto* memo = new QPlainTextEdit(&dialog);
    memo->setReadOnly(true);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setPlainText(QString::fromStdString(text));
    control = memo;
  }
  control->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  control->setGeometry(KMargin, KMargin, dialog.width() - 2 * KMargin,
                       dialog.height() - 6 * KMargin);
  return control;
}

}  // namespace vyn
