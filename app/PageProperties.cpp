#include "app/PageProperties.h"

#include "app/ZoneLookup.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPointer>
#include <QVariantMap>
#include <QVBoxLayout>
#include <QWebEngineScript>
#include <QWebEngineView>

namespace vyn {

namespace {

const char kPageFacts[] = R"((function() {
  var entry = performance.getEntriesByType('navigation')[0];
  return { type: document.contentType, charset: document.characterSet,
           modified: document.lastModified, size: entry ? entry.decodedBodySize : -1 };
})())";

QString ProtocolName(const QString& scheme) {
  if (scheme == QLatin1String("https")) return QStringLiteral("HyperText Transfer Protocol sécurisé (HTTPS)");
  if (scheme == QLatin1String("http")) return QStringLiteral("HyperText Transfer Protocol (HTTP)");
  if (scheme == QLatin1String("file")) return QStringLiteral("Fichier local");
  return scheme;
}

}  // namespace

TPagePropertiesDialog::TPagePropertiesDialog(QWebEngineView* view, QWidget* parent)
    : QDialog(parent) {
  setWindowTitle(QStringLiteral("Propriétés"));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  layout->addLayout(form);
  const QUrl url = view->page()->url();
  const TZoneAttributes zone = GetZoneAttributes(MapUrlToZone(url.toString()));
  AddRow(form, "lblTitle", QStringLiteral("Titre :"), view->page()->title());
  AddRow(form, "lblAddress", QStringLiteral("Adresse :"), url.toString());
  AddRow(form, "lblProtocol", QStringLiteral("Protocole :"), ProtocolName(url.scheme()));
  FType = AddRow(form, "lblType", QStringLiteral("Type :"), QString());
  FCharset = AddRow(form, "lblCharset", QStringLiteral("Jeu de caractères :"), QString());
  FSize = AddRow(form, "lblSize", QStringLiteral("Taille :"), QString());
  FModified = AddRow(form, "lblModified", QStringLiteral("Modifié le :"), QString());
  AddRow(form, "lblZone", QStringLiteral("Zone :"), zone.DisplayName);
  AddRow(form, "lblConnection", QStringLiteral("Connexion :"),
         url.scheme() == QLatin1String("https") ? QStringLiteral("Chiffrée") : QStringLiteral("Non chiffrée"));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  layout->addWidget(buttons);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

  QPointer<TPagePropertiesDialog> self = this;
  view->page()->runJavaScript(QString::fromLatin1(kPageFacts), QWebEngineScript::ApplicationWorld,
                              [self](const QVariant& answer) {
                                if (!self) return;
                                const QVariantMap facts = answer.toMap();
                                self->FType->setText(facts.value(QStringLiteral("type")).toString());
                                self->FCharset->setText(facts.value(QStringLiteral("charset")).toString());
                                const qlonglong size = facts.value(QStringLiteral("size"), -1).toLongLong();
                                if (size >= 0) self->FSize->setText(QStringLiteral("%1 octets").arg(size));
                                self->FModified->setText(facts.value(QStringLiteral("modified")).toString());
                              });
}

QLabel* TPagePropertiesDialog::AddRow(QFormLayout* form, const char* name, const QString& caption,
                                      const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(QLatin1String(name));
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  label->setWordWrap(true);
  form->addRow(caption, label);
  return label;
}

}  // namespace vyn
