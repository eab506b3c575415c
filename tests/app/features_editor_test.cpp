// The feature-control editor against the registry store: what it shows for stored and missing
// switches, what OK writes or deletes, Reset, bad numbers and wrong value types, Help.

#include "AppTestSupport.h"
#include "WhenModal.h"

#include "app/features/ExploreWeb.h"
#include "app/features/FeatureHelp.h"
#include "app/features/StrToInt.h"
#include "app/features/UpDown.h"
#include "app/features/uInternetFeatureControls.h"
#include "platform/Folders.h"
#include "platform/Registry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QPointer>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <optional>

using namespace vyn;
using vyn::test::WhenModal;

namespace {

std::string KeyOf(const char* feature) { return std::string(FeatureKeyPrefix) + feature; }

std::optional<int> Stored(const char* feature) {
  TRegistry registry;
  if (!registry.OpenKeyReadOnly(KeyOf(feature)) || !registry.ValueExists(ExeFileName()))
    return std::nullopt;
  return registry.ReadInteger(ExeFileName());
}

void Store(const char* feature, int value) {
  TRegistry registry;
  QVERIFY(registry.OpenKey(KeyOf(feature), true));
  registry.WriteInteger(ExeFileName(), value);
}

QCheckBox* Box(TfrmInternetFeatureControls* form, const char* feature) {
  return form->findChild<QCheckBox*>(QStringLiteral("chk") + QLatin1String(feature));
}
QComboBox* Emulation(TfrmInternetFeatureControls* form) {
  return form->findChild<QComboBox*>(QStringLiteral("cbxFEATURE_BROWSER_EMULATION"));
}
QLineEdit* MaxConnections(TfrmInternetFeatureControls* form) {
  return form->findChild<QLineEdit*>(QStringLiteral("edtFEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER"));
}
QLineEdit* CloseTimeout(TfrmInternetFeatureControls* form) {
  return form->findChild<QLineEdit*>(QStringLiteral("edtFEATURE_WEBSOCKET_CLOSETIMEOUT"));
}

// A form loaded as ShowInternetFeatureControls loads it.
struct TLoadedForm {
  TfrmInternetFeatureControls Form;
  TLoadedForm() {
    Form.StoreExecutableName();
    Form.LoadFeatures();
    Form.CompleteDefaults();
  }
};

}  // namespace

class TFeatureEditorTest : public QObject {
  Q_OBJECT
private slots:
  void init() {
    qDeleteAll(qApp->findChildren<QTimer*>(QStringLiteral("WhenModal")));
    QFile::remove(QString::fromStdString(HiveFilePath(THiveRoot::HKEY_CURRENT_USER)));
  }

  void NothingStoredShowsDefaultsAndOkWritesNothing() {
    bool checked = false;
    WhenModal<TfrmInternetFeatureControls>([&](TfrmInternetFeatureControls* form) {
      QCOMPARE(form->PageControl->currentIndex(), 0);
      QCOMPARE(form->FExecutable, QString::fromStdString(ExeFileName()));
      for (const auto& editor : form->FEditors)
        if (auto* box = qobject_cast<QCheckBox*>(editor.Control))
          QCOMPARE(box->checkState(), Qt::PartiallyChecked);
      QCOMPARE(Emulation(form)->currentText(), QStringLiteral("11001"));
      QCOMPARE(MaxConnections(form)->text(), QStringLiteral("6"));
      QCOMPARE(CloseTimeout(form)->text(), QStringLiteral("15000"));
      checked = true;
      form->bbtOk->click();
    });
    ShowInternetFeatureControls();
    QVERIFY(checked);
    TRegistry registry;
    QVERIFY(!registry.KeyExists("SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl"));
  }

  void BoxesWriteOneZeroOrDeleteTheValue() {
    Store("FEATURE_GPU_RENDERING", 1);
    Store("FEATURE_FEEDS", 0);
    Store("FEATURE_XMLHTTP", 7);
    {
      TLoadedForm loaded;
      auto* form = &loaded.Form;
      QCOMPARE(Box(form, "FEATURE_GPU_RENDERING")->checkState(), Qt::Checked);
      QCOMPARE(Box(form, "FEATURE_FEEDS")->checkState(), Qt::Unchecked);
      QCOMPARE(Box(form, "FEATURE_XMLHTTP")->checkState(), Qt::Unchecked);  // any number but 1
      Box(form, "FEATURE_GPU_RENDERING")->setCheckState(Qt::PartiallyChecked);
      Box(form, "FEATURE_FEEDS")->setCheckState(Qt::Checked);
      Box(form, "FEATURE_SSLUX")->setCheckState(Qt::Unchecked);
      Box(form, "FEATURE_ZONE_ELEVATION")->setCheckState(Qt::Checked);
      form->ApplyFeatures();
    }
    TRegistry registry;
    QVERIFY(registry.KeyExists(KeyOf("FEATURE_GPU_RENDERING")));  // greying keeps the key
    QCOMPARE(Stored("FEATURE_GPU_RENDERING"), std::nullopt);
    QCOMPARE(Stored("FEATURE_FEEDS"), 1);
    QCOMPARE(Stored("FEATURE_SSLUX"), 0);
    QCOMPARE(Stored("FEATURE_ZONE_ELEVATION"), 1);
    QCOMPARE(Stored("FEATURE_XMLHTTP"), 0);
    QVERIFY(!registry.KeyExists(KeyOf("FEATURE_WEBSOCKET")));  // grey and never stored
  }

  void ListAndNumbersAtTheirDefaultDeleteTheValue() {
    Store("FEATURE_BROWSER_EMULATION", 11000);
    Store("FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER", 10);
    Store("FEATURE_WEBSOCKET_CLOSETIMEOUT", 20000);
    {
      TLoadedForm loaded;
      auto* form = &loaded.Form;
      QCOMPARE(Emulation(form)->currentText(), QStringLiteral("11000"));
      QCOMPARE(MaxConnections(form)->text(), QStringLiteral("10"));
      QCOMPARE(CloseTimeout(form)->text(), QStringLiteral("20000"));
      form->ApplyFeatures();  // unchanged: written back as they were
      QCOMPARE(Stored("FEATURE_BROWSER_EMULATION"), 11000);
      QCOMPARE(Stored("FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER"), 10);

      Emulation(form)->setCurrentIndex(Emulation(form)->findText(QStringLiteral("11001")));
      MaxConnections(form)->setText(QStringLiteral("6"));
      CloseTimeout(form)->setText(QStringLiteral("15000"));
      form->ApplyFeatures();
    }
    for (const char* feature : {"FEATURE_BROWSER_EMULATION", "FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER",
                                "FEATURE_WEBSOCKET_CLOSETIMEOUT"})
      QCOMPARE(Stored(feature), std::nullopt);

    TLoadedForm loaded;
    Emulation(&loaded.Form)->setCurrentIndex(Emulation(&loaded.Form)->findText(QStringLiteral("8000")));
    CloseTimeout(&loaded.Form)->setText(QStringLiteral("-1"));
    loaded.Form.ApplyFeatures();
    QCOMPARE(Stored("FEATURE_BROWSER_EMULATION"), 8000);
    QCOMPARE(Stored("FEATURE_WEBSOCKET_CLOSETIMEOUT"), -1);
    QCOMPARE(Stored("FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER"), std::nullopt);
  }

  void EmulationValueNotInTheListFallsBackToTheFirstItem() {
    Store("FEATURE_BROWSER_EMULATION", 12345);
    TLoadedForm loaded;
    QCOMPARE(Emulation(&loaded.Form)->currentIndex(), 0);
    QCOMPARE(Emulation(&loaded.Form)->currentText(), QStringLiteral("11001"));
  }

  void ResetThenOkSparesTheDisabledBoxes() {
    Store("FEATURE_RESTRICT_ABOUT_PROTOCOL_IE7", 1);
    Store("FEATURE_XMLHTTP", 0);
    Store("FEATURE_96DPI_PIXEL", 1);
    Store("FEATURE_RESTRICT_CDL", 0);
    Store("FEATURE_BROWSER_EMULATION", 9000);
    Store("FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER", 3);
    Store("FEATURE_WEBSOCKET_CLOSETIMEOUT", 100);
    bool shown = false;
    WhenModal<TfrmInternetFeatureControls>([&](TfrmInternetFeatureControls* form) {
      QVERIFY(!Box(form, "FEATURE_96DPI_PIXEL")->isEnabled());
      QCOMPARE(Box(form, "FEATURE_96DPI_PIXEL")->checkState(), Qt::Checked);  // disabled, still loaded
      form->bbtReset->click();
      QCOMPARE(Box(form, "FEATURE_96DPI_PIXEL")->checkState(), Qt::PartiallyChecked);
      QCOMPARE(Emulation(form)->currentText(), QStringLiteral("11001"));
      QCOMPARE(MaxConnections(form)->text(), QStringLiteral("6"));
      QCOMPARE(CloseTimeout(form)->text(), QStringLiteral("15000"));
      QCOMPARE(Stored("FEATURE_XMLHTTP"), 0);  // Reset alone writes nothing
      shown = true;
      form->bbtOk->click();
    });
    ShowInternetFeatureControls();
    QVERIFY(shown);
    for (const char* feature : {"FEATURE_RESTRICT_ABOUT_PROTOCOL_IE7", "FEATURE_XMLHTTP", "FEATURE_BROWSER_EMULATION",
                                "FEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER", "FEATURE_WEBSOCKET_CLOSETIMEOUT"})
      QCOMPARE(Stored(feature), std::nullopt);
    QCOMPARE(Stored("FEATURE_96DPI_PIXEL"), 1);
    QCOMPARE(Stored("FEATURE_RESTRICT_CDL"), 0);
  }

  void CancelWritesNothing() {
    Store("FEATURE_FEEDS", 1);
    WhenModal<TfrmInternetFeatureControls>([](TfrmInternetFeatureControls* form) {
      Box(form, "FEATURE_FEEDS")->setCheckState(Qt::Unchecked);
      Box(form, "FEATURE_SSLUX")->setCheckState(Qt::Checked);
      form->bbtCancel->click();
    });
    ShowInternetFeatureControls();
    QCOMPARE(Stored("FEATURE_FEEDS"), 1);
    QCOMPARE(Stored("FEATURE_SSLUX"), std::nullopt);
  }

  // The two captions of the download-prompt switch edit one value and never disagree.
  void BoxesOnOneSwitchFollowEachOther() {
    TLoadedForm loaded;
    QCheckBox* saveDialog = nullptr;
    QCheckBox* addressBar = nullptr;
    for (auto* box : loaded.Form.findChildren<QCheckBox*>(QStringLiteral("chkFEATURE_DOWNLOAD_PROMPT_META_CONTROL")))
      (box->text() == QStringLiteral("Save Dialog Button Hiding") ? saveDialog : addressBar) = box;
    QVERIFY(saveDialog && addressBar);
    saveDialog->setCheckState(Qt::Unchecked);
    QCOMPARE(addressBar->checkState(), Qt::Unchecked);
    addressBar->setCheckState(Qt::Checked);
    QCOMPARE(saveDialog->checkState(), Qt::Checked);
    loaded.Form.ApplyFeatures();
    QCOMPARE(Stored("FEATURE_DOWNLOAD_PROMPT_META_CONTROL"), 1);
  }

  // Controls before the bad number stay written, those after it are not applied.
  void NumberThatIsNotAnIntegerStopsTheApply() {
    const QStringList badTexts = {QStringLiteral("abc"), QString(), QStringLiteral("99999999999"), QStringLiteral("12 ")};
    for (const QString& bad : badTexts) {
      init();
      TLoadedForm loaded;
      Box(&loaded.Form, "FEATURE_FEEDS")->setCheckState(Qt::Checked);
      Box(&loaded.Form, "FEATURE_ZONE_ELEVATION")->setCheckState(Qt::Checked);
      CloseTimeout(&loaded.Form)->setText(bad);
      try {
        loaded.Form.ApplyFeatures();
        QFAIL("no error");
      } catch (const EConvertError& error) {
        QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("'%1' n'est pas une valeur entière correcte").arg(bad));
      }
      QCOMPARE(Stored("FEATURE_FEEDS"), 1);
      QCOMPARE(Stored("FEATURE_ZONE_ELEVATION"), std::nullopt);
      QVERIFY(!TRegistry().KeyExists(KeyOf("FEATURE_WEBSOCKET_CLOSETIMEOUT")));
    }
    QCOMPARE(StrToInt(QStringLiteral("-2147483648")), std::numeric_limits<int32_t>::min());
    QCOMPARE(StrToInt(QStringLiteral("+15")), 15);
  }

  void StoredValueOfTheWrongTypeKeepsTheEditorClosed() {
    const QString exe = QString::fromStdString(ExeFileName());
    const std::vector<std::pair<QString, QString>> cases = {
        {QStringLiteral("\"%1\"=\"1\""), QStringLiteral("Type de données incorrect pour '%1'")},
        {QStringLiteral("\"%1\"=hex:01,00,00,00"), QStringLiteral("Type de données incorrect pour '%1'")},
        {QStringLiteral("\"%1\"=hex(4):01,00,00,00,00,00,00,00"), QStringLiteral("Echec à l'obtention des données pour '%1'")},
    };
    for (const auto& [value, message] : cases) {
      init();
      const QString hive = QString::fromStdString(HiveFilePath(THiveRoot::HKEY_CURRENT_USER));
      QDir().mkpath(QFileInfo(hive).path());
      test::WriteFileText(hive.toStdString(),
                          QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n"
                                         "[HKEY_CURRENT_USER\\%1FEATURE_FEEDS]\r\n\"%2\"=dword:00000001\r\n\r\n"
                                         "[HKEY_CURRENT_USER\\%1FEATURE_SSLUX]\r\n%3\r\n")
                              .arg(QString::fromLatin1(FeatureKeyPrefix), exe, value.arg(exe))
                              .toStdString());
      QCOMPARE(Stored("FEATURE_FEEDS"), 1);
      bool opened = false;
      WhenModal<TfrmInternetFeatureControls>([&](TfrmInternetFeatureControls* form) {
        opened = true;
        form->reject();
      });
      try {
        ShowInternetFeatureControls();
        QFAIL(qPrintable(value));
      } catch (const ERegistryException& error) {
        QCOMPARE(QString::fromUtf8(error.what()), message.arg(exe));
      }
      QTest::qWait(50);
      QVERIFY2(!opened, qPrintable(value));
      QCOMPARE(Stored("FEATURE_FEEDS"), 1);
    }
  }

  void HelpOpensThePageOfTheActiveTab() {
    const QString base = QStringLiteral("https://msdn.microsoft.com/en-us/library/ee%1(v=vs.85).aspx");
    const std::vector<std::pair<int, int>> pages = {{0, 330720}, {1, 330729}, {2, 330730}, {3, 330731},
                                                    {4, 330732}, {5, 330734}, {6, 330735}, {7, 330736},
                                                    {8, 330737}, {9, 330738}, {10, 330720}, {-1, 330720}};
    for (auto [tab, page] : pages)
      QCOMPARE(FeatureHelpAddress(tab), base.arg(page));

    // Through the button, with a desktop opener that records what it was asked to open.
    const QString bin = QDir::tempPath() + QStringLiteral("/bin");
    QDir().mkpath(bin);
    const QString record = QDir::tempPath() + QStringLiteral("/opened.txt");
    QFile opener(bin + QStringLiteral("/xdg-open"));
    QVERIFY(opener.open(QIODevice::WriteOnly));
    opener.write(QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(record).toUtf8());
    opener.close();
    opener.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QByteArray oldPath = qgetenv("PATH");
    qputenv("PATH", bin.toUtf8() + ":" + oldPath);
    TfrmInternetFeatureControls form;
    form.PageControl->setCurrentIndex(6);
    QCOMPARE(form.PageControl->tabText(6), QStringLiteral("S .. T"));
    form.bbtHelp->click();
    qputenv("PATH", oldPath);
    QTRY_COMPARE(QString::fromStdString(test::ReadFileText(record.toStdString())), base.arg(330735));
  }

  void ExploreWebReportsFailuresInFrench() {
    QCOMPARE(ExploreWebErrorText(0), QStringLiteral("Erreur: Mémoire insuffisante"));
    QCOMPARE(ExploreWebErrorText(2), QStringLiteral("Erreur: Fichier non trouvé"));
    QCOMPARE(ExploreWebErrorText(3), QStringLiteral("Erreur: Répertoire non trouvé"));
    QCOMPARE(ExploreWebErrorText(11), QStringLiteral("Erreur: Fichier invalide"));
    QCOMPARE(ExploreWebErrorText(31), QStringLiteral("Erreur No: 31 dans ShellExecute"));

    // No desktop opener on the path: the shell's "file not found".
    const QByteArray oldPath = qgetenv("PATH");
    const QString empty = QDir::tempPath() + QStringLiteral("/empty-bin");
    QDir().mkpath(empty);
    qputenv("PATH", empty.toUtf8());
    QString title, text;
    WhenModal<QMessageBox>([&](QMessageBox* box) {
      title = box->windowTitle();
      text = box->text();
      box->accept();
    });
    ExploreWeb(nullptr, QStringLiteral("https://www.vynsoft.example/"));
    qputenv("PATH", oldPath);
    QCOMPARE(title, QStringLiteral("Erreur ExploreWeb"));
    QCOMPARE(text, QStringLiteral("Erreur: Fichier non trouvé"));
  }

  void UpDownStepsWithinItsRange() {
    TLoadedForm loaded;
    auto* upDown = loaded.Form.findChild<TUpDown*>(QStringLiteral("udFEATURE_WEBSOCKET_MAXCONNECTIONSPERSERVER"));
    QVERIFY(upDown);
    QLineEdit* edit = MaxConnections(&loaded.Form);
    upDown->btnUp->click();
    QCOMPARE(edit->text(), QStringLiteral("7"));
    edit->setText(QStringLiteral("128"));
    upDown->Step(1);
    QCOMPARE(edit->text(), QStringLiteral("128"));
    edit->setText(QStringLiteral("500"));
    upDown->Step(-1);
    QCOMPARE(edit->text(), QStringLiteral("128"));
    edit->setText(QString());
    upDown->Step(-1);
    QCOMPARE(edit->text(), QStringLiteral("128"));
    edit->setText(QStringLiteral("2"));
    upDown->btnDown->click();
    QCOMPARE(edit->text(), QStringLiteral("2"));
    // Only digits can be typed.
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("1a-2"));
    QCOMPARE(edit->text(), QStringLiteral("12"));
  }

  // The paragraph's lines are spaced like single labels of its font, with blank rows between
  // them: the font's own line spacing is a pixel short of that and makes them touch.
  void PurposeLinesAreSpacedLikeLabels() {
    TfrmInternetFeatureControls form;
    auto* paragraph = form.findChild<QLabel*>(QStringLiteral("lblPurpose"));
    QVERIFY(paragraph);
    QLabel label(QStringLiteral("HKEY_CURRENT_USER"));
    label.setFont(paragraph->font());
    const int labelHeight = label.sizeHint().height();

    QImage image(paragraph->size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    paragraph->render(&image);
    QList<int> lineTops;
    bool previousInked = false;
    for (int y = 0; y < image.height(); ++y) {
      bool inked = false;
      for (int x = 0; x < image.width() && !inked; ++x)
        inked = qGray(image.pixel(x, y)) < 160;
      if (inked && !previousInked)
        lineTops << y;
      previousInked = inked;
    }
    QVERIFY2(lineTops.size() >= 4, qPrintable(QString::number(lineTops.size())));
    for (qsizetype i = 1; i < lineTops.size(); ++i)
      QCOMPARE(lineTops[i] - lineTops[i - 1], labelHeight);
    QVERIFY(lineTops.last() + labelHeight <= image.height());  // the last line shows whole
  }

  void PurposePageDrawsTheKeyAsAStaircase() {
    TfrmInternetFeatureControls form;
    QWidget* purpose = form.PageControl->widget(0);
    QPoint previous(-1, -1);
    QStringList steps;
    for (int i = 1; i <= 6; ++i) {
      auto* step = purpose->findChild<QLabel*>(QStringLiteral("lblStep%1").arg(i));
      QVERIFY(step);
      QVERIFY(step->x() > previous.x() && step->y() > previous.y());
      previous = step->pos();
      steps << step->text();
    }
    QCOMPARE(steps.join(QLatin1Char('\\')),
             QStringLiteral("HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Internet Explorer\\Main\\FeatureControl"));
    QStringList tabs;
    for (int i = 0; i < form.PageControl->count(); ++i)
      tabs << form.PageControl->tabText(i);
    QCOMPARE(tabs.join(QLatin1Char('|')), QStringLiteral("Purpose|A|B .. C|D .. H|I .. L|M .. R|S .. T|U .. Y|Z|Obsolete"));
  }

  // At the dialog's fixed size every editing control, caption included, shows whole on its page.
  void EveryControlShowsWholeOnItsPage() {
    TfrmInternetFeatureControls form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.size(), QSize(565, 323));
    for (const auto& editor : form.FEditors) {
      QWidget* page = form.PageControl->widget(editor.Definition->Tab);
      form.PageControl->setCurrentWidget(page);
      QWidget* shown = editor.Control->parentWidget() == page ? editor.Control : editor.Control->parentWidget();
      const QRect rect(shown->mapTo(page, QPoint(0, 0)), shown->size());
      QVERIFY2(page->rect().contains(rect), editor.Definition->Caption);
      QVERIFY2(shown->width() >= shown->sizeHint().width(), editor.Definition->Caption);
    }
  }
};

VYN_WINDOW_TEST_MAIN(TFeatureEditorTest)
#include "features_editor_test.moc"
