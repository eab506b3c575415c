// The internet-options dialog: site texts and where they are stored, the proxy values and the
// zone site lists written to the keys the zone lookup and the browser control read.

#include "AppTestSupport.h"
#include "WhenModal.h"

#include "app/config/InternetOptions.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <optional>

using namespace vyn;
using vyn::test::WhenModal;

namespace {

std::string DomainKey(const std::string& rest) { return std::string(ZoneDomainsKey) + "\\" + rest; }

std::optional<int> StoredZone(const std::string& key, const std::string& scheme) {
  TRegistry registry;
  if (!registry.OpenKeyReadOnly(DomainKey(key)) || !registry.ValueExists(scheme))
    return std::nullopt;
  return registry.ReadInteger(scheme);
}

void SelectZone(TfrmInternetOptions* form, int zone) {
  form->cbxZone->setCurrentIndex(form->cbxZone->findData(zone));
}

void AddSite(TfrmInternetOptions* form, int zone, const QString& text) {
  SelectZone(form, zone);
  form->edtSite->setText(text);
  QVERIFY(form->bbtAddSiteClick());
}

QStringList ShownSites(TfrmInternetOptions* form, int zone) {
  SelectZone(form, zone);
  QStringList texts;
  for (int i = 0; i < form->lstSites->count(); ++i)
    texts << form->lstSites->item(i)->text();
  return texts;
}

}  // namespace

class TInternetOptionsTest : public QObject {
  Q_OBJECT
private slots:
  void init() {
    qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("WhenModal")));
    QFile::remove(QString::fromStdString(HiveFilePath(THiveRoot::HKEY_CURRENT_USER)));
  }

  void SiteTextsAndTheirKeys() {
    struct TCase { const char* text; const char* scheme; const char* domain; const char* sub; const char* shown; };
    const TCase valid[] = {
        {"www.example.com", "*", "example.com", "www", "www.example.com"},
        {"HTTPS://Intranet/", "https", "intranet", "", "https://intranet"},
        {"*.example.com", "*", "example.com", "*", "*.example.com"},
        {"http://a.b.example.org", "http", "example.org", "a.b", "http://a.b.example.org"},
        {"example.org", "*", "example.org", "", "example.org"},
        {"10.0.0.1", "*", "10.0.0.1", "", "10.0.0.1"},
    };
    for (const TCase& c : valid) {
      const auto site = ParseZoneSite(QString::fromLatin1(c.text), zoneTrusted);
      QVERIFY2(site, c.text);
      QCOMPARE(site->Scheme, QString::fromLatin1(c.scheme));
      QCOMPARE(site->Domain(), QString::fromLatin1(c.domain));
      QCOMPARE(site->SubDomain(), QString::fromLatin1(c.sub));
      QCOMPARE(site->Text(), QString::fromLatin1(c.shown));
    }
    for (const char* bad : {"", "   ", "http://", "example.com:8080", "http://a.example.com/page", "*.com",
                            "a b.example.com", "www..example.com", "*", "x.*.example.com.*"})
      QVERIFY2(!ParseZoneSite(QString::fromLatin1(bad), zoneTrusted), bad);
  }

  void AcceptedDialogWritesProxyAndSites() {
    {
      TRegistry registry;
      QVERIFY(registry.OpenKey(DomainKey("old.example"), true));
      registry.WriteInteger("*", zoneRestricted);
      registry.CloseKey();
      QVERIFY(registry.OpenKey(DomainKey("other.example"), true));
      registry.WriteInteger("http", 3);  // a zone the dialog does not edit: left alone
    }
    bool shown = false;
    WhenModal<TfrmInternetOptions>([&](TfrmInternetOptions* form) {
      QVERIFY(!form->chkProxyEnable->isChecked());
      QVERIFY(!form->edtProxyServer->isEnabled());
      QCOMPARE(ShownSites(form, zoneRestricted), QStringList{QStringLiteral("old.example")});
      form->chkProxyEnable->setChecked(true);
      form->edtProxyServer->setText(QStringLiteral("127.0.0.1:3128"));
      form->edtProxyOverride->setText(QStringLiteral("*.local.example; 10.*;"));
      form->chkProxyBypassLocal->setChecked(true);
      AddSite(form, zoneTrusted, QStringLiteral("https://www.trusted.example"));
      AddSite(form, zoneRestricted, QStringLiteral("*.bad.example"));
      SelectZone(form, zoneLocalIntranet);
      QTest::keyClicks(form->edtSite, QStringLiteral("intranet"));
      QTest::keyClick(form->edtSite, Qt::Key_Return);  // adds, and the dialog stays open
      QVERIFY(form->isVisible());
      SelectZone(form, zoneRestricted);
      form->lstSites->setCurrentRow(form->lstSites->count() - 1);
      QCOMPARE(form->lstSites->currentItem()->text(), QStringLiteral("old.example"));
      form->bbtRemoveSiteClick();
      shown = true;
      form->bbtOk->click();
    });
    ShowInternetOptions();
    QVERIFY(shown);

    TRegistry registry;
    QVERIFY(registry.OpenKeyReadOnly(InternetSettingsKey));
    QCOMPARE(registry.ReadInteger("ProxyEnable"), 1);
    QCOMPARE(registry.ReadString("ProxyServer"), std::string("127.0.0.1:3128"));
    QCOMPARE(registry.ReadString("ProxyOverride"), std::string("*.local.example;10.*;<local>"));
    registry.CloseKey();
    QCOMPARE(StoredZone("trusted.example\\www", "https"), zoneTrusted);
    QCOMPARE(StoredZone("bad.example\\*", "*"), zoneRestricted);
    QCOMPARE(StoredZone("intranet", "*"), zoneLocalIntranet);
    QVERIFY(!registry.KeyExists(DomainKey("old.example")));  // emptied keys go
    QCOMPARE(StoredZone("other.example", "http"), 3);

    // Read back: the same lists; moving a site to another zone rewrites its value.
    TfrmInternetOptions form;
    form.LoadSettings();
    QVERIFY(form.chkProxyBypassLocal->isChecked());
    QCOMPARE(form.edtProxyOverride->text(), QStringLiteral("*.local.example;10.*"));
    QCOMPARE(ShownSites(&form, zoneTrusted), QStringList{QStringLiteral("https://www.trusted.example")});
    AddSite(&form, zoneRestricted, QStringLiteral("HTTPS://WWW.trusted.example/"));
    QVERIFY(ShownSites(&form, zoneTrusted).isEmpty());
    form.chkProxyEnable->setChecked(false);
    form.ApplySettings();
    QCOMPARE(StoredZone("trusted.example\\www", "https"), zoneRestricted);
    registry.CloseKey();
    QVERIFY(registry.OpenKeyReadOnly(InternetSettingsKey));
    QCOMPARE(registry.ReadInteger("ProxyEnable"), 0);
    QCOMPARE(registry.ReadString("ProxyServer"), std::string("127.0.0.1:3128"));  // kept for next time
  }

  void CancelWritesNothing() {
    WhenModal<TfrmInternetOptions>([](TfrmInternetOptions* form) {
      form->chkProxyEnable->setChecked(true);
      AddSite(form, zoneTrusted, QStringLiteral("www.example.com"));
      form->bbtCancel->click();
    });
    ShowInternetOptions();
    QVERIFY(!QFile::exists(QString::fromStdString(HiveFilePath(THiveRoot::HKEY_CURRENT_USER))));
  }

  void BadSiteIsRefusedWithAMessage() {
    TfrmInternetOptions form;
    form.LoadSettings();
    QString message;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      message = box->text();
      box->accept();
    });
    form.edtSite->setText(QStringLiteral("http://example.com/page"));
    QVERIFY(!form.bbtAddSiteClick());
    QCOMPARE(message, QStringLiteral("« http://example.com/page » n'est pas une adresse de site valide."));
    QCOMPARE(form.edtSite->text(), QStringLiteral("http://example.com/page"));
    QCOMPARE(form.lstSites->count(), 0);
  }

  // A proxy value of the wrong type stops the dialog before it opens; a site value of the wrong
  // type is not a site and stays as it is.
  void ValuesOfTheWrongType() {
    TRegistry registry;
    QVERIFY(registry.OpenKey(DomainKey("text.example"), true));
    registry.WriteString("*", "2");
    registry.CloseKey();
    QVERIFY(registry.OpenKey(InternetSettingsKey, true));
    registry.WriteString("ProxyEnable", "1");
    registry.CloseKey();
    TfrmInternetOptions form;
    QVERIFY_THROWS_EXCEPTION(ERegistryException, form.LoadSettings());

    QVERIFY(registry.OpenKey(InternetSettingsKey, true));
    registry.DeleteValue("ProxyEnable");
    registry.CloseKey();
    form.LoadSettings();
    QVERIFY(ShownSites(&form, zoneTrusted).isEmpty());
    form.ApplySettings();
    QVERIFY(registry.OpenKeyReadOnly(DomainKey("text.example")));
    QCOMPARE(registry.ReadString("*"), std::string("2"));
  }
};

VYN_WINDOW_TEST_MAIN(TInternetOptionsTest)
#include "internetoptions_dialog_test.moc"
