#include "app/about/uNews.h"

#include "app/ErrorReporting.h"
#include "app/MainForm.h"
#include "app/Startup.h"
#include "app/about/AboutGlyphs.h"
#include "app/about/AboutPicture.h"
#include "app/about/DownloadFile.h"
#include "platform/IniFile.h"
#include "platform/TempFile.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace vyn {

namespace {

// The news is read through a buffer of this many characters, its last one for the end mark.
constexpr std::size_t NewsBufferSize = 2048;

QWidget* BorderPanel(QWidget* parent, const char* name, QBoxLayout*& layout) {
  auto* panel = new QWidget(parent);
  panel->setObjectName(QLatin1String(name));
  layout = new QHBoxLayout(panel);
  layout->setContentsMargins(4, 4, 4, 4);
  layout->setSpacing(0);
  return panel;
}

QString ReadNewsText(const QString& fileName) {
  const TIniFile ini(fileName.toStdString());
  return QString::fromStdString(ini.ReadStringLimited("update", "descr", "", NewsBufferSize));
}

}  // namespace

TfrmShowNews::TfrmShowNews(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmShowNews"));
  setWindowTitle(QString::fromUtf8("Nouveautés !"));
  setFont(MainFont());
  setFixedSize(474, 360);
  setBackgroundRole(QPalette::Button);
  setAutoFillBackground(true);

  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Image1 = new QLabel(this);
  Image1->setObjectName(QStringLiteral("Image1"));
  Image1->setFixedSize(AboutPictureWidth, AboutPictureHeight);
  Image1->setPixmap(AboutPicture());
  layout->addWidget(Image1, 0, Qt::AlignTop);

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  layout->addWidget(Panel1, 1);
  auto* column = new QVBoxLayout(Panel1);
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  QBoxLayout* memoLayout = nullptr;
  Panel4 = BorderPanel(Panel1, "Panel4", memoLayout);
  memNews = new QPlainTextEdit(Panel4);
  memNews->setObjectName(QStringLiteral("memNews"));
  memNews->setReadOnly(true);
  memNews->setLineWrapMode(QPlainTextEdit::WidgetWidth);
  memNews->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memNews->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  memoLayout->addWidget(memNews);
  column->addWidget(Panel4, 1);

  QBoxLayout* buttonLayout = nullptr;
  Panel2 = BorderPanel(Panel1, "Panel2", buttonLayout);
  Panel2->setFixedHeight(33);
  buttonLayout->addStretch(1);
  bbtClose = new QPushButton(CloseGlyph(), QStringLiteral("&Fermer"), Panel2);
  bbtClose->setObjectName(QStringLiteral("bbtClose"));
  bbtClose->setFixedSize(75, 25);
  bbtClose->setDefault(true);
  buttonLayout->addWidget(bbtClose);
  column->addWidget(Panel2);

  connect(bbtClose, &QPushButton::clicked, this, [this] { RunReportingErrors([this] { bbtCloseClick(); }); });
}

void TfrmShowNews::ShowText(const QString& text) {
  memNews->setPlainText(text);
  memNews->setPlainText(memNews->toPlainText().replace(QStringLiteral("\\n"), QStringLiteral("\n"),
                                                        Qt::CaseInsensitive));
}

void TfrmShowNews::bbtCloseClick() { close(); }

void ShowNews(const QString& URL) {
  const QString fileName = QString::fromStdString(GetTempFile("vyn", false));
  if (!DownloadFile(URL, fileName)) return;
  const QString text = ReadNewsText(fileName);
  if (text.isEmpty()) return;
  TfrmShowNews form(DialogOwner());
  form.ShowText(text);
  form.exec();
}

}  // namespace vyn
