// The wizard's text sets, how InitLanguage spreads them over the dialog, the component's
// defaults and the dialog's layout.

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTextEdit>
#include <QtTest>
#include <stdexcept>

#include "WizardHarness.h"
#include "update/wizard/VudIvazozWizard.h"
#include "update/wizard/WizardBillboard.h"
#include "update/wizard/WizardLanguage.h"
#include "update/wizard/WizardShape.h"
#include "update/wizard/WuWizForm.h"

namespace vyn {

namespace {

using TText = QString TVudIvazozWizardLanguage::*;

struct TTextRow {
  TText Member;
  const char* English;
  const char* French;  // nullptr: the French set keeps the English text
};

// The 28 texts in their published order.
const TTextRow KTexts[] = {
    {&TVudIvazozWizardLanguage::Welcome,
     "Press start to start checking for available application updates ...",
     "Cliquez sur Vérifier pour rechercher d'éventuelles mises à jour ..."},
    {&TVudIvazozWizardLanguage::StartButton, "Start", "Vérifier"},
    {&TVudIvazozWizardLanguage::NextButton, "Next", "Suivant"},
    {&TVudIvazozWizardLanguage::ExitButton, "Exit", "Quitter"},
    {&TVudIvazozWizardLanguage::RestartButton, "Restart", "Redémarrer"},
    {&TVudIvazozWizardLanguage::CancelButton, "Cancel", "Annuler"},
    {&TVudIvazozWizardLanguage::FailedDownload, "Failed to download updates", nullptr},
    {&TVudIvazozWizardLanguage::GetUpdateButton, "Get update", "Mettre à jour"},
    {&TVudIvazozWizardLanguage::NewVersionFound, "New version found",
     "Une nouvelle version est disponible"},
    {&TVudIvazozWizardLanguage::NewVersion, "New version", "Nouvelle version"},
    {&TVudIvazozWizardLanguage::NoNewVersionAvail, "No new version available.",
     "Pas de nouvelle version disponible."},
    {&TVudIvazozWizardLanguage::NewVersionAvail, "New version available.",
     "Nouvelle version disponible."},
    {&TVudIvazozWizardLanguage::CurrentVersion, "Current version", "Version actuelle"},
    {&TVudIvazozWizardLanguage::NoFilesFound, "No files found for update",
     "pas de mises à jour disponible"},
    {&TVudIvazozWizardLanguage::NoUpdateOnServer, "No update found on server ...",
     "Aucune mise à jour disponible ..."},
    {&TVudIvazozWizardLanguage::CannotConnect, "Could not connect to update server or",
     "Connexion impossible avec le serveur ou"},
    {&TVudIvazozWizardLanguage::WhatsNew, "What's new", "Nouveautés"},
    {&TVudIvazozWizardLanguage::License, "License agreement", "Informations de license"},
    {&TVudIvazozWizardLanguage::AcceptLicense, "I accept", "J'accepte"},
    {&TVudIvazozWizardLanguage::NotAcceptLicense, "I do not accept", "Je refuse"},
    {&TVudIvazozWizardLanguage::ComponentsAvail, "Available application components",
     "Composants d'application disponible"},
    {&TVudIvazozWizardLanguage::DownloadingFiles, "Downloading files",
     "Téléchargement des fichiers"},
    {&TVudIvazozWizardLanguage::CurrentProgress, "Current file progress",
     "Progression du fichier"},
    {&TVudIvazozWizardLanguage::TotalProgress, "Total file progress", "Progression totale"},
    {&TVudIvazozWizardLanguage::UpdateComplete, "Update completed ...", "Mise à jour terminée"},
    {&TVudIvazozWizardLanguage::RestartInfo, "Press restart to start the updated application.",
     "Cliquez sur Redémarrer pour lancer la nouvelle version"},
    {&TVudIvazozWizardLanguage::WhatsNewPopup, "View in Notepad", nullptr},
    {&TVudIvazozWizardLanguage::LicensePopup, "View in Notepad", nullptr},
};

// A text set whose every text names its property, so that each place shows where it came from.
void NameEveryText(TVudIvazozWizardLanguage& texts) {
  int k = 0;
  for (const TTextRow& row : KTexts) texts.*row.Member = QStringLiteral("text %1").arg(k++);
}
QString TextOf(TText member) {
  int k = 0;
  for (const TTextRow& row : KTexts) {
    if (row.Member == member) return QStringLiteral("text %1").arg(k);
    ++k;
  }
  return QString();
}

template <typename T>
T* Child(QWidget& form, const char* name) {
  return form.findChild<T*>(QString::fromLatin1(name));
}

QString Caption(QWidget& form, const char* name) {
  if (auto* label = Child<QLabel>(form, name)) return label->text();
  if (auto* button = Child<QAbstractButton>(form, name)) return button->text();
  return QStringLiteral("<no control %1>").arg(QString::fromLatin1(name));
}

int TopLevelDialogs() {
  int count = 0;
  for (QWidget* widget : QApplication::topLevelWidgets())
    if (qobject_cast<TWUWIZ*>(widget)) ++count;
  return count;
}

}  // namespace

class TWizardTextsTest : public QObject {
  Q_OBJECT
private slots:
  void EnglishAndFrenchSets() {
    TVudIvazozWizardLanguage english;
    TVudIvazozWizardFrench french;
    int k = 0;
    for (const TTextRow& row : KTexts) {
      const QString what = QStringLiteral("text %1").arg(k++);
      QVERIFY2(english.*row.Member == QString::fromUtf8(row.English), qPrintable(what));
      const char* expected = row.French ? row.French : row.English;
      QVERIFY2(french.*row.Member == QString::fromUtf8(expected), qPrintable(what));
    }
    // Precomposed letters, plain apostrophes.
    QVERIFY(french.StartButton.contains(QChar(0x00E9)));
    QVERIFY(french.GetUpdateButton.contains(QChar(0x00E0)));
    QCOMPARE(french.AcceptLicense.at(1), QChar(0x0027));
  }

  void AssignCopiesOnlyFromATextSet() {
    TVudIvazozWizardFrench french;
    french.FailedDownload = QStringLiteral("Erreur de téléchargement de la mise à jour");
    TVudIvazozWizardLanguage texts;
    texts.Assign(&french);
    for (const TTextRow& row : KTexts) QCOMPARE(texts.*row.Member, french.*row.Member);

    TVudIvazozWizardLanguage english;
    QObject other;
    texts.Assign(&other);
    texts.Assign(nullptr);
    QCOMPARE(texts.Welcome, french.Welcome);
    french.Assign(&english);  // a descendant takes a plain set too
    QCOMPARE(french.Welcome, english.Welcome);
  }

  void InitLanguageSpreadsTheSetOverTheDialog() {
    TVudIvazozWizard wizard;
    TWUWIZ form;
    TVudIvazozWizardLanguage texts;
    NameEveryText(texts);
    wizard.InitLanguage(&form, &texts);
    using L = TVudIvazozWizardLanguage;
    const std::pair<const char*, TText> captions[] = {
        {"WelcomeLabel", &L::Welcome},       {"StartButton", &L::StartButton},
        {"ControlButton", &L::GetUpdateButton}, {"Label1", &L::WhatsNew},
        {"NewButton", &L::NextButton},       {"Label2", &L::License},
        {"RAccept", &L::AcceptLicense},      {"RNoAccept", &L::NotAcceptLicense},
        {"EULAButton", &L::NextButton},      {"Label3", &L::ComponentsAvail},
        {"FilesButton", &L::NextButton},     {"Label4", &L::DownloadingFiles},
        {"Label5", &L::CurrentProgress},     {"Label6", &L::TotalProgress},
        {"CancelButton", &L::CancelButton},  {"Label7", &L::UpdateComplete},
        {"Label8", &L::RestartInfo},         {"RestartButton", &L::RestartButton},
    };
    for (const auto& [name, member] : captions)
      QVERIFY2(Caption(form, name) == TextOf(member), name);
    const std::pair<QString TWUWIZ::*, TText> strings[] = {
        {&TWUWIZ::StrNewFound, &L::NewVersionFound},   {&TWUWIZ::StrNewVersion, &L::NewVersion},
        {&TWUWIZ::StrCurVersion, &L::CurrentVersion},  {&TWUWIZ::StrNoNewVersion, &L::NoNewVersionAvail},
        {&TWUWIZ::StrUCNewVersion, &L::NewVersionAvail}, {&TWUWIZ::StrGetUpdate, &L::GetUpdateButton},
        {&TWUWIZ::StrExit, &L::ExitButton},            {&TWUWIZ::StrNoNewFiles, &L::NoFilesFound},
        {&TWUWIZ::StrCannotConnect, &L::CannotConnect}, {&TWUWIZ::StrNoUpdate, &L::NoUpdateOnServer},
        {&TWUWIZ::StrNext, &L::NextButton},            {&TWUWIZ::StrFailedDownload, &L::FailedDownload},
        {&TWUWIZ::StrWhatsNewPopup, &L::WhatsNewPopup}, {&TWUWIZ::StrLicensePopup, &L::LicensePopup},
    };
    int k = 0;
    for (const auto& [property, member] : strings)
      QVERIFY2(form.*property == TextOf(member), qPrintable(QString::number(k++)));
    // An auto-sized label takes the size of its new text.
    auto* label = Child<QLabel>(form, "Label3");
    QCOMPARE(label->size(), label->sizeHint());
  }

  void WithoutASetTheEnglishTextsAndNoLeftover() {
    TVudIvazozWizard wizard;
    TWUWIZ form;
    wizard.InitLanguage(&form, nullptr);
    QCOMPARE(Caption(form, "StartButton"), QStringLiteral("Start"));
    QCOMPARE(Caption(form, "RAccept"), QStringLiteral("I accept"));
    QCOMPARE(form.StrFailedDownload, QStringLiteral("Failed to download updates"));
    QCOMPARE(form.StrExit, QStringLiteral("Exit"));
    QVERIFY(wizard.children().isEmpty());

    TVudIvazozWizardFrench french;
    wizard.InitLanguage(&form, &french);
    QCOMPARE(Caption(form, "StartButton"), QStringLiteral("Vérifier"));
    QCOMPARE(Caption(form, "Label8"),
             QStringLiteral("Cliquez sur Redémarrer pour lancer la nouvelle version"));
    QCOMPARE(form.StrNoNewFiles, QStringLiteral("pas de mises à jour disponible"));
    QCOMPARE(form.StrFailedDownload, QStringLiteral("Failed to download updates"));
    QCOMPARE(form.StrWhatsNewPopup, QStringLiteral("View in Notepad"));
  }

  void ComponentDefaultsAndReferences() {
    TVudIvazozWizard wizard;
    QCOMPARE(wizard.Font.family(), QStringLiteral("Verdana"));
    QVERIFY(wizard.Font.bold());
    QCOMPARE(wizard.Font.pointSize(), 9);
    QVERIFY(wizard.BillBoard().isNull());
    QCOMPARE(QRect(wizard.BillBoardLeft, wizard.BillBoardTop, wizard.BillBoardWidth,
                   wizard.BillBoardHeight),
             QRect(9, 27, 116, 201));
    QVERIFY(!wizard.BillBoardStretch && !wizard.BillBoardCenter);
    QCOMPARE(wizard.Position, poScreenCenter);
    QCOMPARE(wizard.BorderStyle, bsDialog);
    QVERIFY(!wizard.AutoRun && !wizard.AutoStart);
    QVERIFY(wizard.Caption.isEmpty());
    QVERIFY(!wizard.VudIvazoz);
    QVERIFY(!wizard.Wizard());

    // Nothing to close, no engine: no window is made.
    wizard.CloseWizard();
    try {
      wizard.Execute(false);
      QFAIL("Execute ran without an engine");
    } catch (const std::runtime_error& error) {
      QCOMPARE(QString::fromUtf8(error.what()), QStringLiteral("No VudIvazoz component assigned"));
    }
    QCOMPARE(TopLevelDialogs(), 0);

    TVudIvazoz engine;
    TVudIvazoz other;
    wizard.VudIvazoz = &engine;
    wizard.Notification(&other);
    QCOMPARE(wizard.VudIvazoz, &engine);
    wizard.Notification(&engine);
    QVERIFY(!wizard.VudIvazoz);
    auto* texts = new TVudIvazozWizardFrench;
    wizard.Language = texts;
    delete texts;
    QVERIFY(!wizard.Language);

    // The setter keeps a copy of its own.
    QPixmap picture(4, 4);
    picture.fill(Qt::red);
    wizard.SetBillBoard(picture);
    picture.fill(Qt::blue);
    QCOMPARE(wizard.BillBoard().toImage().pixelColor(0, 0), QColor(Qt::red));
  }

  void DialogLayout() {
    TWUWIZ form;
    QCOMPARE(form.size(), QSize(474, 284));
    const std::pair<const char*, QRect> places[] = {
        {"Shape1", {2, 1, 471, 281}},          {"Billboard", {9, 27, 116, 201}},
        {"PageControl1", {136, 8, 329, 265}},  {"WelcomeLabel", {0, 24, 263, 28}},
        {"StartButton", {224, 224, 91, 25}},   {"VersionInfoLabel", {0, 16, 305, 85}},
        {"ControlButton", {224, 224, 91, 25}}, {"WhatsNewMemo", {0, 24, 313, 193}},
        {"WhatsNewRichEdit", {0, 24, 313, 194}}, {"NewButton", {224, 224, 91, 25}},
        {"FileProgress", {0, 80, 313, 17}},    {"TotalProgress", {0, 160, 313, 17}},
        {"CancelButton", {224, 224, 91, 25}},  {"EULAMemo", {0, 24, 313, 193}},
        {"EULARichEdit", {0, 24, 313, 194}},   {"RAccept", {1, 220, 224, 17}},
        {"RNoAccept", {1, 238, 224, 17}},      {"EULAButton", {224, 224, 91, 25}},
        {"CheckListBox1", {0, 24, 313, 193}},  {"FilesButton", {224, 224, 91, 25}},
        {"RestartButton", {224, 224, 91, 25}},
    };
    for (const auto& [name, place] : places) {
      auto* control = Child<QWidget>(form, name);
      QVERIFY2(control, name);
      QVERIFY2(control->geometry() == place, name);
    }
    const std::pair<const char*, QPoint> labels[] = {
        {"Label1", {0, 8}},   {"Label4", {0, 8}},   {"Label5", {0, 56}}, {"FileLabel", {152, 56}},
        {"Label6", {0, 136}}, {"Label2", {0, 8}},   {"Label3", {0, 8}},  {"Label7", {0, 8}},
        {"Label8", {0, 96}},
    };
    for (const auto& [name, place] : labels) {
      auto* label = Child<QLabel>(form, name);
      QVERIFY2(label && label->pos() == place, name);
    }

    // The pages in their order, switched by code only; the welcome page first.
    QStringList pages;
    for (int i = 0; i < form.PageControl1->count(); ++i)
      pages << form.PageControl1->widget(i)->objectName();
    QCOMPARE(pages, (QStringList{"TabSheet1", "TabSheet2", "TabSheet3", "TabSheet6",
                                 "TabSheet4", "TabSheet5", "TabSheet7"}));
    QCOMPARE(form.PageControl1->currentWidget()->objectName(), QStringLiteral("TabSheet1"));
    const std::pair<const char*, const char*> homes[] = {
        {"StartButton", "TabSheet1"}, {"ControlButton", "TabSheet2"}, {"NewButton", "TabSheet3"},
        {"CancelButton", "TabSheet6"}, {"EULAButton", "TabSheet4"}, {"FilesButton", "TabSheet5"},
        {"RestartButton", "TabSheet7"},
    };
    for (const auto& [name, page] : homes)
      QVERIFY2(Child<QWidget>(form, name)->parentWidget()->objectName() == page, name);

    QVERIFY(form.StartButton->isDefault());
    QVERIFY(!form.ControlButton->isEnabled());
    QVERIFY(!form.EULAButton->isEnabled());
    QVERIFY(!form.RAccept->isChecked() && !form.RNoAccept->isChecked());
    QVERIFY(form.WhatsNewMemo->isReadOnly() && form.EULAMemo->isReadOnly());
    QVERIFY(!form.WhatsNewRichEdit->isReadOnly() && form.EULARichEdit->isReadOnly());
    QVERIFY(form.WhatsNewRichEdit->isHidden() && form.EULARichEdit->isHidden());
    QCOMPARE(form.WhatsNewMemo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(form.ViewinNotepad1->text(), QStringLiteral("View in Notepad"));
    QCOMPARE(Child<QMenu>(form, "PopupMenu2")->actions().value(0)->objectName(),
             QStringLiteral("ViewinNotepad2"));
    QVERIFY(!form.Billboard->pixmap().isNull());
    QVERIFY(!form.Cancelled && !form.AutoRun && !form.AutoStart && !form.VudIvazoz());
  }

  void BillboardPictureScalesToTheSizeAsked() {
    QVERIFY(DrawWizardBillboard(QSize()).isNull());
    for (const QSize size : {QSize(116, 201), QSize(164, 314)}) {
      const QImage picture = DrawWizardBillboard(size).toImage();
      QCOMPARE(picture.size(), size);
      // A picture, not a plain fill: the gradient's corners differ and the arrow is green.
      QVERIFY(picture.pixelColor(0, 0) != picture.pixelColor(size.width() - 1, size.height() - 1));
      bool green = false;
      for (int y = 0; y < size.height() && !green; ++y)
        for (int x = 0; x < size.width() && !green; ++x) {
          const QColor c = picture.pixelColor(x, y);
          green = c.green() > 150 && c.green() > c.red() + 60 && c.green() > c.blue() + 60;
        }
      QVERIFY(green);
    }
  }

  // Execute puts the component's settings into the dialog it shows.
  void ExecuteAppliesTheSettings() {
    test::TWizardCase c;
    QPixmap picture(50, 60);
    picture.fill(Qt::darkMagenta);
    c.Wizard.SetBillBoard(picture);
    c.Wizard.BillBoardLeft = 5;
    c.Wizard.BillBoardTop = 6;
    c.Wizard.BillBoardWidth = 70;
    c.Wizard.BillBoardHeight = 80;
    c.Wizard.BillBoardCenter = true;
    c.Wizard.BorderStyle = bsNone;
    c.Wizard.Caption = QStringLiteral("Mise à jour de l'application");
    c.Wizard.Font = QFont(QStringLiteral("DejaVu Sans"), 11);
    auto* french = new TVudIvazozWizardFrench(&c.Wizard);
    c.Wizard.Language = french;
    bool handlerKept = false;
    c.Engine.OnFileProgress = [&](TVudIvazoz&, const std::string&, int64_t, int64_t) {
      handlerKept = true;
    };
    QRect board, frame;
    QString title, start, family;
    bool frameless = false, centred = false, stretched = true, hooked = false;
    c.Script.Then("dialog shown", c.OnPage("TabSheet1", "StartButton"), [&] {
      TWUWIZ& form = *c.Form();
      board = form.Billboard->geometry();
      centred = form.Billboard->alignment() == Qt::AlignCenter;
      stretched = form.Billboard->hasScaledContents();
      frame = form.rect();
      frameless = form.windowFlags() & Qt::FramelessWindowHint;
      title = form.windowTitle();
      start = form.StartButton->text();
      family = form.StartButton->font().family();
      hooked = form.VudIvazoz() == &c.Engine;
      c.Wizard.CloseWizard();
    });
    c.Run();
    QVERIFY2(c.Script.Done(), qPrintable(c.Script.Pending()));
    QCOMPARE(board, QRect(5, 6, 70, 80));
    QVERIFY(centred && !stretched);
    QCOMPARE(frame.size(), QSize(473, 283));  // the frame outlines the borderless window
    QVERIFY(frameless);
    QCOMPARE(title, QStringLiteral("Mise à jour de l'application"));
    QCOMPARE(start, QStringLiteral("Vérifier"));
    QCOMPARE(family, QStringLiteral("DejaVu Sans"));
    QVERIFY(hooked);
    // The dialog is gone and the engine has its own handler back.
    QVERIFY(!c.Wizard.Wizard());
    QCOMPARE(TopLevelDialogs(), 0);
    QVERIFY(c.Engine.OnFileProgress);
    c.Engine.OnFileProgress(c.Engine, "x", 0, 0);
    QVERIFY(handlerKept);
    QVERIFY(!c.Engine.OnProgressCancel);
    QVERIFY(c.Engine.StopCount >= 1);  // closing stops the connection
  }
};

}  // namespace vyn

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  QApplication app(argc, argv);
  vyn::TWizardTextsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "wizard_texts_test.moc"
