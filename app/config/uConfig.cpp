#include "app/config/uConfig.h"

#include "app/config/DialogButtonGlyphs.h"
#include "app/MainForm.h"
#include "app/Startup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace vyn {

namespace {

// Captions of the list entries, in the order of the settings flags.
const std::array<const char*, 14> VisibleButtonCaptions = {
    "Page d'accueil",   "Page précédente",       "Page suivante", "Arrêter",
    "Rafraîchir",       "Page de recherche",     "Annuler",       "Refaire",
    "Coller",           "Sélectionner tout",     "Chercher dans la page",
    "Aperçu avant impression", "Imprimer",       "Propriétés de la page"};

constexpr int ListItemHeight = 13;
constexpr int ListColumns = 3;

}  // namespace

TfrmConfiguration::TfrmConfiguration(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmConfiguration"));
  setWindowTitle(QStringLiteral("Configuration"));
  setFont(MainFont());
  setFixedSize(563, 195);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  Panel3 = new QWidget(this);
  Panel3->setObjectName(QStringLiteral("Panel3"));
  layout->addWidget(Panel3, 1);

  lbledtHomePage = new QLineEdit(Panel3);
  lbledtHomePage->setObjectName(QStringLiteral("lbledtHomePage"));
  lbledtHomePage->setGeometry(16, 24, 533, 21);
  lbledtHomePageLabel = new QLabel(QStringLiteral("Home page"), Panel3);
  lbledtHomePageLabel->setGeometry(16, 8, 533, 13);
  lbledtHomePageLabel->setBuddy(lbledtHomePage);

  Label1 = new QLabel(QStringLiteral("Boutons visibles"), Panel3);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->move(16, 51);

  // Three columns filled top to bottom, then left to right.
  chklbxVisibleButtons = new QListWidget(Panel3);
  chklbxVisibleButtons->setObjectName(QStringLiteral("chklbxVisibleButtons"));
  chklbxVisibleButtons->setGeometry(16, 67, 533, 78);
  chklbxVisibleButtons->setFlow(QListView::TopToBottom);
  chklbxVisibleButtons->setWrapping(true);
  chklbxVisibleButtons->setResizeMode(QListView::Adjust);
  chklbxVisibleButtons->setUniformItemSizes(true);
  chklbxVisibleButtons->setSpacing(0);
  // Fourteen entries fit in three columns; a scroll bar would eat a row and push out a column.
  chklbxVisibleButtons->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  chklbxVisibleButtons->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  const int columnWidth = (chklbxVisibleButtons->width() - 2 * chklbxVisibleButtons->frameWidth()) / ListColumns;
  chklbxVisibleButtons->setGridSize(QSize(columnWidth, ListItemHeight));
  for (const char* caption : VisibleButtonCaptions) {
    auto* item = new QListWidgetItem(QString::fromUtf8(caption), chklbxVisibleButtons);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable | Qt::ItemIsSelectable);
    item->setCheckState(Qt::Unchecked);
    item->setSizeHint(QSize(columnWidth, ListItemHeight));
  }

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setFixedHeight(33);
  layout->addWidget(Panel1);
  auto* bar = new QHBoxLayout(Panel1);
  bar->setContentsMargins(4, 4, 4, 4);
  bar->setSpacing(0);
  bar->addStretch(1);

  bbtOk = new QPushButton(OkGlyph(), QStringLiteral("OK"), Panel1);
  bbtOk->setObjectName(QStringLiteral("bbtOk"));
  bbtOk->setFixedSize(75, 25);
  bbtOk->setDefault(true);
  connect(bbtOk, &QPushButton::clicked, this, &QDialog::accept);
  bar->addWidget(bbtOk);

  Panel2 = new QWidget(Panel1);
  Panel2->setObjectName(QStringLiteral("Panel2"));
  Panel2->setFixedWidth(8);
  bar->addWidget(Panel2);

  bbtCancel = new QPushButton(CancelGlyph(), QStringLiteral("Annuler"), Panel1);
  bbtCancel->setObjectName(QStringLiteral("bbtCancel"));
  bbtCancel->setFixedSize(75, 25);
  bbtCancel->setAutoDefault(false);
  connect(bbtCancel, &QPushButton::clicked, this, &QDialog::reject);
  bar->addWidget(bbtCancel);
}

bool EditConfiguration(tyConfig& Config) {
  TfrmConfiguration form(DialogOwner());
  form.lbledtHomePage->setText(Config.HomePage);
  for (size_t i = 0; i < ConfigFlags.size(); ++i)
    form.chklbxVisibleButtons->item(int(i))->setCheckState(Config.*ConfigFlags[i] ? Qt::Checked : Qt::Unchecked);

  if (form.exec() != QDialog::Accepted)
    return false;

  Config.HomePage = form.lbledtHomePage->text();
  for (size_t i = 0; i < ConfigFlags.size(); ++i)
    Config.*ConfigFlags[i] = form.chklbxVisibleButtons->item(int(i))->checkState() == Qt::Checked;
  return true;
}

}  // namespace vyn
