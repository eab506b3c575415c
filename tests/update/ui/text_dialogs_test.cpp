#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <atomic>
#include <functional>
#include <thread>

#include "TestEnvironment.h"
#include "update/ui/EULADialog.h"
#include "update/ui/FileCopyAnimation.h"
#include "update/ui/QtUserInterface.h"
#include "update/ui/StatusWindow.h"
#include "update/ui/WhatsNewDialog.h"

namespace vyn {

namespace {
// Acts on the next modal dialog of type T once it is shown.
template <typename T>
void AnswerNext(std::function<void(T&)> answer) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [=] {
    auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
    if (!dialog) return;
    timer->stop();
    timer->deleteLater();
    answer(*dialog);
  });
  timer->start(20);
}

void ExpectCentred(const QWidget& window) {
  const QPoint screen = QGuiApplication::primaryScreen()->geometry().center();
  const QPoint centre = QRect(window.pos(), window.size()).center();
  QVERIFY(qAbs(centre.x() - screen.x()) <= 1 && qAbs(centre.y() - screen.y()) <= 1);
}

// The frame of both text windows: only the system menu among the border icons.
void ExpectTextWindowFrame(const QDialog& dialog) {
  QCOMPARE(dialog.size(), QSize(400, 400));
  QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
  QVERIFY(dialog.windowFlags() & Qt::WindowSystemMenuHint);
  QVERIFY(!(dialog.windowFlags() & Qt::WindowMinMaxButtonsHint));
  ExpectCentred(dialog);
}

constexpr char KRich[] = "{\\rtf1\\ansi plain {\\b bold} end\\par}";
}  // namespace

class TTextDialogsTest : public QObject {
  Q_OBJECT
private slots:
  void WhatsNewLayout() {
    TWhatsNewDialog dialog("News", "line 1\nline 2", false, "Ok", "Cancel");
    ExpectTextWindowFrame(dialog);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("News"));
    auto* memo = qobject_cast<QPlainTextEdit*>(dialog.TextControl());
    QVERIFY(memo);
    QCOMPARE(memo->geometry(), QRect(10, 10, 380, 340));
    QVERIFY(memo->isReadOnly());
    QCOMPARE(memo->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QCOMPARE(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo->toPlainText(), QStringLiteral("line 1\nline 2"));
    QCOMPARE(dialog.OkButton()->geometry(), QRect(230, 360, 75, 25));
    QCOMPARE(dialog.CancelButton()->geometry(), QRect(315, 360, 75, 25));
    QCOMPARE(dialog.OkButton()->text(), QStringLiteral("Ok"));
    QCOMPARE(dialog.OkButton()->nextInFocusChain(), dialog.CancelButton());
  }

  void RichTextIsFormatted() {
    TWhatsNewDialog dialog("News", KRich, true, "Ok", "Cancel");
    auto* edit = qobject_cast<QTextEdit*>(dialog.TextControl());
    QVERIFY(edit);
    QVERIFY(edit->isReadOnly());
    QCOMPARE(edit->geometry(), QRect(10, 10, 380, 340));
    QCOMPARE(edit->toPlainText().trimmed(), QStringLiteral("plain bold end"));
    const QTextCursor bold = edit->document()->find("bold");
    QCOMPARE(bold.charFormat().fontWeight(), int(QFont::Bold));
    QCOMPARE(edit->document()->find("plain").charFormat().fontWeight(), int(QFont::Normal));
  }

  void EULALayoutWithRefusePreselected() {
    TEULADialog dialog("", "Terms", false, "Ok", "I accept", "I do not accept");
    ExpectTextWindowFrame(dialog);
    QCOMPARE(dialog.TextControl()->geometry(), QRect(10, 10, 380, 340));
    QCOMPARE(dialog.OkButton()->geometry(), QRect(315, 360, 75, 25));
    QCOMPARE(dialog.AcceptChoice()->pos(), QPoint(10, 360));
    QCOMPARE(dialog.RefuseChoice()->pos(), QPoint(dialog.AcceptChoice()->width() + 20, 360));
    QCOMPARE(dialog.AcceptChoice()->text(), QStringLiteral("I accept"));
    QVERIFY(dialog.RefuseChoice()->isChecked());
    QVERIFY(!dialog.Accepted());
    QCOMPARE(dialog.OkButton()->nextInFocusChain(), dialog.AcceptChoice());
    QCOMPARE(dialog.AcceptChoice()->nextInFocusChain(), dialog.RefuseChoice());
  }

  void DialogAnswersThroughTheInterface() {
    TQtUserInterface ui;
    AnswerNext<TEULADialog>([](TEULADialog& d) { d.OkButton()->click(); });
    QVERIFY(!ui.ShowEULADialog("", "Terms", false, "Ok", "I accept", "I do not accept"));
    AnswerNext<TEULADialog>([](TEULADialog& d) {
      d.AcceptChoice()->click();
      d.reject();  // closed by its system menu: the choice still counts
    });
    QVERIFY(ui.ShowEULADialog("", KRich, true, "Ok", "I accept", "I do not accept"));

    AnswerNext<TWhatsNewDialog>([](TWhatsNewDialog& d) { d.CancelButton()->click(); });
    QVERIFY(!ui.ShowWhatsNewDialog("News", "x", false, "Ok", "Cancel"));
    AnswerNext<TWhatsNewDialog>([](TWhatsNewDialog& d) { d.reject(); });
    QVERIFY(!ui.ShowWhatsNewDialog("News", "x", false, "Ok", "Cancel"));
    AnswerNext<TWhatsNewDialog>([](TWhatsNewDialog& d) { d.OkButton()->click(); });
    QVERIFY(ui.ShowWhatsNewDialog("News", "x", false, "Ok", "Cancel"));
  }

  // The control file's line breaks are carriage returns.
  void MessageBreaksLinesAtCarriageReturns() {
    TQtUserInterface ui;
    QString shown;
    AnswerNext<QMessageBox>([&](QMessageBox& box) {
      shown = box.text();
      box.button(QMessageBox::Ok)->click();
    });
    ui.MessageBox("first\rsecond\r\nthird", "Information", TMessageKind::mkInformation,
                  TMessageButtons::mbOK);
    QCOMPARE(shown, QStringLiteral("first\nsecond\nthird"));
  }

  void StatusWindowLayout() {
    TStatusWindow window;
    window.SetTexts("Patching", "Please wait");
    QCOMPARE(window.size(), QSize(300, 170));
    QCOMPARE(window.windowTitle(), QStringLiteral("Patching"));
    QVERIFY(!(window.windowFlags() & Qt::WindowSystemMenuHint));
    QVERIFY(!(window.windowFlags() & Qt::WindowCloseButtonHint));
    ExpectCentred(window);
    const QRect animation = window.Animation()->geometry();
    QCOMPARE(animation, QRect(10, 10, TFileCopyAnimation::KWidth, TFileCopyAnimation::KHeight));
    QCOMPARE(window.MessageLabel()->pos(), QPoint(10, animation.top() + animation.height() + 8));
    QCOMPARE(window.MessageLabel()->text(), QStringLiteral("Please wait"));
    QVERIFY(!window.Animation()->Running());
    window.show();
    QVERIFY(window.Animation()->Running());
    const int frame = window.Animation()->Frame();
    QTRY_VERIFY(window.Animation()->Frame() != frame);
    window.hide();
    QVERIFY(!window.Animation()->Running());
  }

  void WorkerCallsReachTheUserInterfaceThread() {
    TQtUserInterface ui;
    QThread* uiThread = QThread::currentThread();
    std::atomic<bool> posted{false};
    std::atomic<bool> postedOnUi{false};
    std::atomic<bool> done{false};
    bool accepted = false;
    QThread* dialogThread = nullptr;
    AnswerNext<TWhatsNewDialog>([&](TWhatsNewDialog& d) {
      dialogThread = d.thread();
      d.OkButton()->click();
    });
    std::thread worker([&] {
      accepted = ui.ShowWhatsNewDialog("News", KRich, true, "Ok", "Cancel");
      ui.StatusWindowShow("Patching", "Please wait");
      ui.PostToUiThread([&] {
        postedOnUi = QThread::currentThread() == uiThread;
        posted = true;
      });
      done = true;
    });
    QTRY_VERIFY_WITH_TIMEOUT(done && posted, 10000);
    worker.join();
    QVERIFY(accepted);
    QCOMPARE(dialogThread, uiThread);
    QVERIFY(postedOnUi);
    QVERIFY(ui.StatusWindow());
    QCOMPARE(ui.StatusWindow()->thread(), uiThread);
    QVERIFY(ui.StatusWindow()->isVisible());
    QCOMPARE(ui.StatusWindow()->windowTitle(), QStringLiteral("Patching"));
    std::thread hider([&] { ui.StatusWindowHide(); });
    QTRY_VERIFY_WITH_TIMEOUT(!ui.StatusWindow()->isVisible(), 10000);
    hider.join();
  }
};

}  // namespace vyn

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  QApplication app(argc, argv);
  vyn::TTextDialogsTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "text_dialogs_test.moc"
