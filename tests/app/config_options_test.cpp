// The options dialog: it shows the settings record, copies the edits back only on OK, and an
// accepted dialog is saved whole even when nothing changed.

#include "AppTestSupport.h"
#include "WhenModal.h"

#include "app/config/Settings.h"
#include "app/config/uConfig.h"
#include "app/GlyphButton.h"
#include "app/uMain.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QPointer>
#include <QTimer>

#include <functional>

using namespace vyn;
using vyn::test::WhenModal;

namespace {

tyConfig MixedConfig() {
  tyConfig config;
  config.HomePage = QStringLiteral("http://127.0.0.1/accueil.html");
  for (size_t i = 0; i < ConfigFlags.size(); ++i)
    config.*ConfigFlags[i] = i % 3 != 0;
  return config;
}

bool SameConfig(const tyConfig& a, const tyConfig& b) {
  if (a.HomePage != b.HomePage)
    return false;
  for (auto flag : ConfigFlags)
    if (a.*flag != b.*flag)
      return false;
  return true;
}

}  // namespace

class TOptionsDialogTest : public QObject {
  Q_OBJECT
private slots:
  void init() {
    qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("WhenModal")));
    QFile::remove(QString::fromStdString(HiveFilePath(THiveRoot::HKEY_CURRENT_USER)));
  }

  void ShowsTheRecordInThreeColumns() {
    const tyConfig config = MixedConfig();
    const QStringList captions = {
        "Page d'accueil", "Page précédente", "Page suivante", "Arrêter", "Rafraîchir", "Page de recherche",
        "Annuler", "Refaire", "Coller", "Sélectionner tout", "Chercher dans la page", "Aperçu avant impression",
        "Imprimer", "Propriétés de la page"};
    bool shown = false;
    WhenModal<TfrmConfiguration>([&](TfrmConfiguration* form) {
      QCOMPARE(form->windowTitle(), QStringLiteral("Configuration"));
      QCOMPARE(form->lbledtHomePage->text(), config.HomePage);
      QCOMPARE(form->lbledtHomePageLabel->text(), QStringLiteral("Home page"));
      QCOMPARE(form->Label1->text(), QStringLiteral("Boutons visibles"));
      QListWidget* list = form->chklbxVisibleButtons;
      QCOMPARE(list->count(), 14);
      QSet<int> columns;
      for (int i = 0; i < 14; ++i) {
        QCOMPARE(list->item(i)->text(), captions[i]);
        QCOMPARE(list->item(i)->checkState() == Qt::Checked, config.*ConfigFlags[size_t(i)]);
        const QRect rect = list->visualItemRect(list->item(i));
        QVERIFY2(list->viewport()->rect().contains(rect), qPrintable(captions[i]));  // no scrolling
        columns.insert(rect.x());
        if (i > 0 && rect.x() == list->visualItemRect(list->item(i - 1)).x())
          QVERIFY(rect.y() > list->visualItemRect(list->item(i - 1)).y());  // top to bottom first
      }
      QCOMPARE(columns.size(), 3);
      QVERIFY(form->bbtOk->isDefault());
      shown = true;
      form->bbtCancel->click();
    });
    tyConfig edited = config;
    QVERIFY(!EditConfiguration(edited));
    QVERIFY(shown);
  }

  // The layout at 96 dots per inch: the main panel above a 33-pixel button bar, Cancel at its
  // right edge, OK to the left of it after an 8-pixel spacer.
  void LayoutGivesTheDesignedSizeAndPositions() {
    bool shown = false;
    WhenModal<TfrmConfiguration>([&](TfrmConfiguration* form) {
      shown = true;
      auto at = [form](QWidget* widget) { return QRect(widget->mapTo(form, QPoint(0, 0)), widget->size()); };
      QCOMPARE(form->size(), QSize(563, 195));
      QCOMPARE(form->font().family(), QStringLiteral("Tahoma"));
      QCOMPARE(form->font().pixelSize(), 11);
      QCOMPARE(at(form->Panel3), QRect(0, 0, 563, 162));
      QCOMPARE(at(form->lbledtHomePage).topLeft(), QPoint(16, 24));
      QCOMPARE(form->lbledtHomePage->width(), 533);
      QCOMPARE(at(form->lbledtHomePageLabel).x(), 16);
      QCOMPARE(at(form->lbledtHomePageLabel).bottom() + 1 + 3, 24);  // just above its edit
      QCOMPARE(at(form->Label1).topLeft(), QPoint(16, 51));
      QCOMPARE(at(form->chklbxVisibleButtons), QRect(16, 67, 533, 78));
      QCOMPARE(at(form->Panel1), QRect(0, 162, 563, 33));
      QCOMPARE(at(form->bbtCancel), QRect(563 - 4 - 75, 162 + 4, 75, 25));
      QCOMPARE(at(form->Panel2), QRect(563 - 4 - 75 - 8, 162 + 4, 8, 25));
      QCOMPARE(at(form->bbtOk), QRect(563 - 4 - 75 - 8 - 75, 162 + 4, 75, 25));
      QVERIFY(!form->bbtOk->icon().isNull() && !form->bbtCancel->icon().isNull());
      form->bbtCancel->click();
    });
    tyConfig config = MixedConfig();
    QVERIFY(!EditConfiguration(config));
    QVERIFY(shown);
  }

  void AcceptedWithoutChangesStillWritesTheWholeRecord() {
    const QString regPath = BuildRegPath(QStringLiteral("/opt/vyn/vynWebBrowser"));
    tyConfig config = MixedConfig();
    WhenModal<TfrmConfiguration>([](TfrmConfiguration* form) { form->bbtOk->click(); });
    QVERIFY(EditConfiguration(config));
    QVERIFY(SameConfig(config, MixedConfig()));
    SaveConfig(regPath, config);

    TRegistry registry;
    QVERIFY(registry.OpenKeyReadOnly(regPath.toStdString()));
    QCOMPARE(registry.GetValueNames().size(), size_t(15));
    QCOMPARE(QString::fromStdString(registry.ReadString("HomePage")), config.HomePage);
    for (size_t i = 0; i < ConfigFlags.size(); ++i)
      QCOMPARE(registry.ReadInteger(ConfigFlagNames[i]), config.*ConfigFlags[i] ? 1 : 0);
  }

  // Through the main window's "Options ..." item: an accepted dialog rewrites every value (a
  // value removed meanwhile comes back), and unchecking every entry leaves only the
  // configuration button.
  void MainWindowSavesAndAppliesTheAcceptedRecord() {
    const QString regPath = BuildRegPath(QString::fromStdString(ExePath()));
    tyConfig stored = MixedConfig();
    stored.HomePage = QStringLiteral("about:blank");
    SaveConfig(regPath, stored);
    TfrmMain form;
    {
      TRegistry registry;
      QVERIFY(registry.OpenKey(regPath.toStdString(), false));
      QVERIFY(registry.DeleteValue("Imprimer"));
    }
    WhenModal<TfrmConfiguration>([](TfrmConfiguration* dialog) { dialog->bbtOk->click(); });
    form.mnuOptions->trigger();
    TRegistry registry;
    QVERIFY(registry.OpenKeyReadOnly(regPath.toStdString()));
    QCOMPARE(registry.GetValueNames().size(), size_t(15));
    QCOMPARE(registry.ReadInteger("Imprimer"), stored.Imprimer ? 1 : 0);
    registry.CloseKey();

    WhenModal<TfrmConfiguration>([](TfrmConfiguration* dialog) {
      for (int i = 0; i < dialog->chklbxVisibleButtons->count(); ++i)
        dialog->chklbxVisibleButtons->item(i)->setCheckState(Qt::Unchecked);
      dialog->bbtOk->click();
    });
    form.mnuOptions->trigger();
    QVERIFY(registry.OpenKeyReadOnly(regPath.toStdString()));
    for (const char* name : ConfigFlagNames)
      QCOMPARE(registry.ReadInteger(name), 0);
    QList<QWidget*> shown;
    for (auto* button : form.pnlBoutons->findChildren<QAbstractButton*>())
      if (!button->isHidden())
        shown << button;
    QCOMPARE(shown, QList<QWidget*>{form.bbtConfig});
  }

  void OkCopiesTheEditsAsTyped() {
    tyConfig config = MixedConfig();
    WhenModal<TfrmConfiguration>([](TfrmConfiguration* form) {
      form->lbledtHomePage->setText(QStringLiteral("  pas une adresse "));
      for (int i = 0; i < form->chklbxVisibleButtons->count(); ++i)
        form->chklbxVisibleButtons->item(i)->setCheckState(i == 13 ? Qt::Checked : Qt::Unchecked);
      form->bbtOk->click();
    });
    QVERIFY(EditConfiguration(config));
    QCOMPARE(config.HomePage, QStringLiteral("  pas une adresse "));
    for (size_t i = 0; i < ConfigFlags.size(); ++i)
      QCOMPARE(config.*ConfigFlags[i], i == 13);
  }

  void CancelOrEscapeDiscardsTheEdits() {
    for (bool escape : {false, true}) {
      tyConfig config = MixedConfig();
      WhenModal<TfrmConfiguration>([escape](TfrmConfiguration* form) {
        form->lbledtHomePage->clear();
        form->chklbxVisibleButtons->item(0)->setCheckState(Qt::Checked);
        if (escape)
          QTest::keyClick(form, Qt::Key_Escape);
        else
          form->bbtCancel->click();
      });
      QVERIFY(!EditConfiguration(config));
      QVERIFY(SameConfig(config, MixedConfig()));
    }
  }
};

VYN_WINDOW_TEST_MAIN(TOptionsDialogTest)
#include "config_options_test.moc"
