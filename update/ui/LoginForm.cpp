#include "update/ui/LoginForm.h"

#include <QApplication>
#include <QLabel>
#include <QLinearGradient>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>

namespace vyn {

namespace {
constexpr int KWidth = 320;
constexpr int KHeight = 189;
constexpr int KBannerHeight = 60;

QPixmap MakeBanner() {
  QPixmap banner(KWidth, KBannerHeight);
  QPainter painter(&banner);
  QLinearGradient gradient(0, 0, KWidth, 0);
  gradient.setColorAt(0, QColor(0x1F, 0x3F, 0x7F));
  gradient.setColorAt(1, QColor(0x6F, 0x9F, 0xDF));
  painter.fillRect(banner.rect(), gradient);
  // A key: ring and bit.
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(0xF0, 0xC8, 0x40), 5));
  painter.drawEllipse(QPoint(30, 30), 11, 11);
  painter.drawLine(41, 30, 70, 30);
  painter.drawLine(62, 30, 62, 40);
  painter.drawLine(70, 30, 70, 38);
  return banner;
}
}  // namespace

TKorvLoginForm::TKorvLoginForm(QWidget* parent) : QDialog(parent) {
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFixedSize(KWidth, KHeight);

  Banner = new QLabel(this);
  Banner->setGeometry(0, 0, KWidth, KBannerHeight);
  Banner->setPixmap(MakeBanner());

  LabelUserName = new QLabel(QStringLiteral("&User name: "), this);
  LabelUserName->setGeometry(16, 78, 90, 21);
  Edit1 = new QLineEdit(this);
  Edit1->setObjectName(QStringLiteral("Edit1"));
  Edit1->setGeometry(112, 76, 192, 23);
  LabelUserName->setBuddy(Edit1);

  LabelPassword = new QLabel(QStringLiteral("&Password:"), this);
  LabelPassword->setGeometry(16, 110, 90, 21);
  Edit2 = new QLineEdit(this);
  Edit2->setObjectName(QStringLiteral("Edit2"));
  Edit2->setGeometry(112, 108, 192, 23);
  Edit2->setEchoMode(QLineEdit::Password);
  LabelPassword->setBuddy(Edit2);

  ButtonOK = new QPushButton(QStringLiteral("OK"), this);
  ButtonOK->setGeometry(148, 152, 75, 25);
  ButtonOK->setDefault(true);
  connect(ButtonOK, &QPushButton::clicked, this, &QDialog::accept);
  ButtonCancel = new QPushButton(QStringLiteral("Cancel"), this);
  ButtonCancel->setGeometry(229, 152, 75, 25);
  connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);

  if (const QScreen* screen = QGuiApplication::primaryScreen())
    move(screen->geometry().center() - rect().center());
}

bool ShowLoginDialog(const std::string& caption, std::string& userName, std::string& password) {
  TKorvLoginForm form(QApplication::activeWindow());
  form.setWindowTitle(QString::fromStdString(caption));
  if (form.exec() != QDialog::Accepted) return false;
  userName = form.Edit1->text().toStdString();
  password = form.Edit2->text().toStdString();
  return true;
}

}  // namespace vyn
