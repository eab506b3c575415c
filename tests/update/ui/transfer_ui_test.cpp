#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QtTest>
#include <thread>

#include "TestEnvironment.h"
#include "update/ui/LoginForm.h"
#include "update/ui/ProgressForm.h"
#include "update/ui/QtUserInterface.h"

namespace vyn {

namespace {
// Answers the next login prompt once it is shown: fills the edits and presses OK, or Cancel.
void AnswerNextLogin(bool ok, const QString& user = {}, const QString& password = {}) {
  auto* timer = new QTimer;
  QObject::connect(timer, &QTimer::timeout, [=] {
    auto* form = qobject_cast<TKorvLoginForm*>(QApplication::activeModalWidget());
    if (!form) return;
    timer->stop();
    timer->deleteLater();
    QVERIFY(form->Edit1->text().isEmpty());
    QVERIFY(form->Edit2->text().isEmpty());
    QTest::keyClicks(form->Edit1, user);
    QTest::keyClicks(form->Edit2, password);
    (ok ? form->ButtonOK : form->ButtonCancel)->click();
  });
  timer->start(20);
}
}  // namespace

class TTransferUiTest : public QObject {
  Q_OBJECT
private slots:
  void LoginFormLayout() {
    TKorvLoginForm form;
    QCOMPARE(form.size(), QSize(320, 189));
    QCOMPARE(form.Banner->size(), QSize(320, 60));
    QCOMPARE(form.LabelUserName->text(), QStringLiteral("&User name: "));
    QCOMPARE(form.LabelPassword->text(), QStringLiteral("&Password:"));
    QCOMPARE(form.LabelUserName->buddy(), form.Edit1);
    QCOMPARE(form.Edit2->echoMode(), QLineEdit::Password);
    QVERIFY(form.ButtonOK->isDefault());
  }

  void LoginOkFillsBothAndCancelLeavesThem() {
    std::string user = "old", password = "kept";
    AnswerNextLogin(false, "x", "y");
    QVERIFY(!ShowLoginDialog("Connect to host", user, password));
    QCOMPARE(user, std::string("old"));
    QCOMPARE(password, std::string("kept"));
    AnswerNextLogin(true, "alice", "s3cret");
    QVERIFY(ShowLoginDialog("Connect to host", user, password));
    QCOMPARE(user, std::string("alice"));
    QCOMPARE(password, std::string("s3cret"));
  }

  void ProgressFormShowsFileAndPosition() {
    TProgressForm form;
    QCOMPARE(form.windowTitle(), QStringLiteral("Downloading..."));
    QCOMPARE(form.size(), QSize(300, 110));
    QCOMPARE(form.ProgressBar()->geometry().topLeft(), QPoint(10, 40));
    QCOMPARE(form.ProgressBar()->width(), 264);
    QCOMPARE(form.FileLabel()->pos(), QPoint(10, 10));
    form.SetProgress("Downloading : a.bin", 4096, 10000);
    QCOMPARE(form.ProgressBar()->maximum(), 10000);
    QCOMPARE(form.ProgressBar()->value(), 4096);
    QCOMPARE(form.FileLabel()->text(), QStringLiteral("Downloading : a.bin"));
    // Sizes beyond the bar's range are scaled; an unknown size leaves a maximum of 0.
    form.SetProgress("big", 3LL << 31, 6LL << 31);
    QCOMPARE(form.ProgressBar()->value() * 2, form.ProgressBar()->maximum());
    form.SetProgress("unknown", 5000, 0);
    QCOMPARE(form.ProgressBar()->maximum(), 0);
    form.show();
    form.resize(400, 110);
    QTRY_COMPARE(form.ProgressBar()->width(), 364);
  }

  void WorkerCallsRunOnTheUserInterfaceThread() {
    TQtUserInterface ui;
    QThread* uiThread = QThread::currentThread();
    bool onUiThread = false;
    bool loggedIn = false;
    std::string user, password;
    AnswerNextLogin(true, "bob", "pw");
    std::thread worker([&] {
      ui.RunOnUiThread([&] { onUiThread = QThread::currentThread() == uiThread; });
      ui.ProgressShow();
      ui.ProgressUpdate("Downloading : f.txt", 5, 10);
      ui.ProcessPendingEvents();
      loggedIn = ui.ShowLoginDialog("Connect to h", user, password);
    });
    QTRY_VERIFY_WITH_TIMEOUT(loggedIn, 10000);
    worker.join();
    QVERIFY(onUiThread);
    QVERIFY(ui.ProgressForm());
    QCOMPARE(ui.ProgressForm()->thread(), uiThread);
    QVERIFY(ui.ProgressForm()->isVisible());
    QCOMPARE(ui.ProgressForm()->ProgressBar()->value(), 5);
    QCOMPARE(user, std::string("bob"));
    ui.ProgressHide();
    QVERIFY(!ui.ProgressForm()->isVisible());
  }
};

}  // namespace vyn

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  QApplication app(argc, argv);
  vyn::TTransferUiTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "transfer_ui_test.moc"
