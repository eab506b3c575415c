// The whole run: DoUpdate and its exits, the threaded run, the short runs.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "EngineProbe.h"
#include "ScriptedUserInterface.h"
#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "platform/Folders.h"

namespace vyn {
namespace {

using test::ReadFileText;
using test::TestRoot;
using test::WriteFileText;

class RunTest : public ::testing::Test {
protected:
  void SetUp() override {
    FTarget = TestRoot() + "/target/";
    ForceDirectories(FTarget);
    FServer.Serve("/a.bin", "first file");
    FServer.Serve("/b.bin", "second file");
    FServer.Serve("/news.txt", "New: faster\r\nNew: safer\r\n");
    FServer.Serve("/licence.txt", "You may use it.");
    FServer.Serve("/rich.rtf", "{\\rtf1 Nouveau}");
    FServer.Server().Get("/control.inf", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(FControl, "text/plain");
    });
    FServer.Start();
    FEngine.URL = FServer.Url("/control.inf");
    FEngine.UpdateUpdate = wuuSilent;
    FEngine.SetUserInterface(&FUi);
    FEngine.OnSuccess = [this](TVudIvazoz&) { ++FSuccesses; };
  }

  // A control file with an unconditional release and the given sections after it.
  void Control(const std::string& rest) { FControl = "[update]\nunconditional=1\n" + rest; }
  std::string TwoFiles() const {
    return "[files]\ncount=2\n[file1]\nurl=" + FServer.Url("/a.bin") + "\ntargetdir=" + FTarget +
           "\n[file2]\nurl=" + FServer.Url("/b.bin") + "\ntargetdir=" + FTarget + "\n";
  }
  int Count(int id) const {
    const std::vector<int> ids = FIds();
    return static_cast<int>(std::count(ids.begin(), ids.end(), id));
  }
  std::vector<int> FIds() const { return FEngine.MessageIds(); }

  test::TIsolatedEnvironment FEnvironment;
  test::TTestHttpServer FServer;
  test::TEngineProbe FEngine;
  test::TScriptedUserInterface FUi;
  std::string FTarget;
  std::string FControl;
  int FSuccesses = 0;
};

TEST_F(RunTest, AWholeRunShowsItsTextsFetchesTheFilesAndEndsWithSuccess) {
  Control("[application]\nappupdate=1\n[action]\nmsg=Bonjour\\nmonde\n[whatsnew]\nfile=" +
          FServer.Url("/news.txt") + "\n[eula]\nfile=" + FServer.Url("/licence.txt") + "\n" +
          TwoFiles());
  FEngine.ShowDownloadProgress = true;
  FEngine.DoUpdate(false);

  EXPECT_EQ(FSuccesses, 1);
  EXPECT_EQ(ReadFileText(FTarget + "a.bin"), "first file");
  EXPECT_EQ(ReadFileText(FTarget + "b.bin"), "second file");
  EXPECT_EQ(FEngine.FindMessage(968)->Text,
            "Start update : Non threaded update ---------------------------");
  EXPECT_EQ(FEngine.FindMessage(963)->Text, "Start VudIvazoz process with version : 2.3.0.1");
  // The steps in the run's order: actions, what's new, licence, files, actions after them.
  std::vector<int> steps;
  for (int id : FIds())
    if (id == 926 || id == 934 || id == 937 || id == 939 || id == 943 || id == 948 || id == 949)
      steps.push_back(id);
  EXPECT_EQ(steps, (std::vector<int>{926, 934, 937, 939, 943, 948, 949, 949}));
  EXPECT_EQ(FUi.CountCalls("MessageBox:Bonjour\rmonde"), 1);
  EXPECT_EQ(FUi.CountCalls("WhatsNew:What's new:plain:New: faster"), 1);
  EXPECT_EQ(FUi.CountCalls("EULA::plain:You may use it."), 1);
  // The progress window is there for each download and gone at the end of the run.
  EXPECT_EQ(FUi.CountCalls("ProgressShow"), 2);
  EXPECT_EQ(FUi.Calls.back(), "ProgressHide");
  EXPECT_FALSE(FEngine.InProgress());
  EXPECT_FALSE(FEngine.AppNeedsRestart());  // no file is a part of the running program
}

struct TExitCase {
  const char* Name;
  std::string Rest;           // sections after [update]; "@" stands for two files
  bool NothingNewer = false;  // [update] announces nothing newer
  bool RefuseWhatsNew = false;
  bool RefuseQuery = false;
  std::vector<int> Present;
  std::vector<int> Absent;
  bool Success = false;
  bool AppCloseKept = false;
};

TEST_F(RunTest, EveryExitOfTheRun) {
  const std::string news = "[whatsnew]\nfile=" + FServer.Url("/news.txt") + "\n";
  const std::string eula = "[eula]\nfile=" + FServer.Url("/licence.txt") + "\n";
  const std::string current = TestRoot() + "/current.exe";
  WriteFileText(current, "installed");
  const TExitCase cases[] = {
      {"nothing newer", "@", true, false, false, {930}, {934, 943, 948}, false, false},
      {"query declined", "[action]\nquery=Go?\n@", false, false, true, {936}, {937, 943, 948},
       false, false},
      {"what's new refused, licence fetched but not shown", news + eula + "@", false, true, false,
       {938, 939}, {943, 948}, false, false},
      {"no file section", news, false, false, false, {937}, {943, 948}, false, false},
      {"every file filtered out",
       "[files]\ncount=1\n[file1]\nurl=" + FServer.Url("/a.bin") + "\nlocalversion=" + current +
           "\nnewsize=9\n",
       false, false, false, {943, 971, 930}, {948}, false, true},
      {"a failed download", "[files]\ncount=2\n[file1]\nurl=" + FServer.Url("/missing.bin") +
                                "\ntargetdir=" + FTarget + "\n[file2]\nurl=" +
                                FServer.Url("/b.bin") + "\ntargetdir=" + FTarget + "\n",
       false, false, false, {946, 948}, {}, false, false},
      {"downloads done", "@", false, false, false, {943, 948}, {930}, true, true},
  };
  for (const TExitCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FEngine.Messages.clear();
    FUi.Calls.clear();
    FSuccesses = 0;
    std::string rest = c.Rest;
    if (const size_t at = rest.find('@'); at != std::string::npos) rest.replace(at, 1, TwoFiles());
    FControl = std::string("[application]\nappupdate=1\nappname=app\n[update]\n") +
               (c.NothingNewer ? "date=01/01/2000\nlocalversion=" + current + "\n"
                               : "unconditional=1\n") +
               rest;
    if (c.RefuseWhatsNew) FUi.WhatsNewAnswers.push_back(false);
    if (c.RefuseQuery) FUi.MessageBoxAnswers.push_back(TMessageResult::mrNo);
    FEngine.DoUpdate(false);
    for (int id : c.Present) EXPECT_GE(Count(id), 1) << id;
    for (int id : c.Absent) EXPECT_EQ(Count(id), 0) << id;
    EXPECT_EQ(FSuccesses, c.Success ? 1 : 0);
    EXPECT_EQ(FUi.CountCalls("EULA:"), 0);
    EXPECT_EQ(FIds().back(), 949);  // every exit closes the connection
    EXPECT_FALSE(FEngine.InProgress());
    EXPECT_EQ(FEngine.AppClose(), c.AppCloseKept);
  }
}

TEST_F(RunTest, ForceUpdateSkipsTheReleaseCheck) {
  const std::string current = TestRoot() + "/current.exe";
  WriteFileText(current, "installed");
  FControl = "[update]\ndate=01/01/2000\nlocalversion=" + current + "\n" + TwoFiles();
  FEngine.ForceUpdate = true;
  FEngine.DoUpdate(false);
  EXPECT_EQ(Count(930), 0);
  EXPECT_EQ(FSuccesses, 1);
  EXPECT_EQ(ReadFileText(FTarget + "b.bin"), "second file");
}

TEST_F(RunTest, ARunAfterACancelledRunStartsAfresh) {
  Control(TwoFiles());
  FEngine.Cancel();
  FEngine.DoUpdate(false);
  EXPECT_FALSE(FEngine.Cancelled());
  EXPECT_EQ(FSuccesses, 1);
}

TEST_F(RunTest, ALocalControlFileNeedsNoConnection) {
  ForceDirectories(TestRoot() + "/srv");
  const std::string source = TestRoot() + "/srv/a.bin";
  WriteFileText(source, "local file");
  const std::string control = TestRoot() + "/srv/control.inf";
  WriteFileText(control, "[update]\nunconditional=1\n[files]\ncount=1\n[file1]\nurl=" + source +
                             "\ntargetdir=" + FTarget + "\n");
  FEngine.UpdateType = fileUpdate;
  FEngine.UpdateConnect = wucNoConnect;
  FEngine.URL = control;
  FEngine.DoUpdate(false);
  EXPECT_EQ(FSuccesses, 1);
  EXPECT_EQ(ReadFileText(FTarget + "a.bin"), "local file");
  EXPECT_EQ(Count(918), 0);
}

TEST_F(RunTest, AnFtpRunWithoutHostRaisesAndLeavesNoRunInProgress) {
  FEngine.UpdateType = ftpUpdate;
  FEngine.Host.clear();
  try {
    FEngine.DoUpdate(false);
    FAIL() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "No host specified");
  }
  EXPECT_FALSE(FEngine.InProgress());
  EXPECT_THROW(FEngine.NewVersionAvailable(false), std::runtime_error);
  EXPECT_FALSE(FEngine.InProgress());
}

TEST_F(RunTest, AThreadedRunWorksOnAWorkerAndEndsOnTheUserInterfaceThread) {
  Control(TwoFiles());
  const std::thread::id uiThread = std::this_thread::get_id();
  std::thread::id successThread, doneThread;
  FEngine.OnSuccess = [&](TVudIvazoz&) { successThread = std::this_thread::get_id(); };
  FEngine.OnThreadUpdateDone = [&](TVudIvazoz&) { doneThread = std::this_thread::get_id(); };
  FEngine.DoThreadUpdate(false);
  ASSERT_TRUE(FUi.RunPosted(20000));
  EXPECT_NE(successThread, std::thread::id());
  EXPECT_NE(successThread, uiThread);
  EXPECT_EQ(doneThread, uiThread);
  EXPECT_EQ(FEngine.FindMessage(968)->Text,
            "Start update : Threaded update ---------------------------");
  EXPECT_EQ(FIds().back(), 960);
  EXPECT_EQ(ReadFileText(FTarget + "a.bin"), "first file");

  // The next threaded run starts once the first has ended.
  FEngine.Messages.clear();
  FEngine.DoThreadUpdate(false);
  ASSERT_TRUE(FUi.RunPosted(20000));
  EXPECT_EQ(FIds().back(), 960);
}

TEST_F(RunTest, AnExceptionInAThreadedRunIsShownAndTheRunStillEnds) {
  FEngine.UpdateType = ftpUpdate;
  FEngine.Host.clear();
  bool done = false;
  FEngine.OnThreadUpdateDone = [&](TVudIvazoz&) { done = true; };
  FEngine.DoThreadUpdate(false);
  ASSERT_TRUE(FUi.RunPosted(20000));
  EXPECT_TRUE(done);
  EXPECT_EQ(FUi.CountCalls("MessageBox:No host specified"), 1);
}

TEST_F(RunTest, TheShortRuns) {
  const std::string current = TestRoot() + "/current.exe";
  WriteFileText(current, "installed");
  std::vector<std::string> seen;
  FEngine.OnDownloadedWhatsNew = [&](TVudIvazoz&, std::vector<std::string>& text, int&) {
    seen = text;
    text.push_back("Added by the handler");
  };
  const std::string news = "[whatsnew]\nfile=" + FServer.Url("/news.txt") + "\n";

  Control(news + TwoFiles());
  EXPECT_TRUE(FEngine.NewVersionAvailable(false));
  EXPECT_EQ(seen, (std::vector<std::string>{"New: faster", "New: safer"}));
  EXPECT_EQ(Count(948), 0);  // nothing is fetched but the text

  // An unconditional release whose files are all current is no news.
  Control("[files]\ncount=1\n[file1]\nurl=" + FServer.Url("/a.bin") + "\nlocalversion=" + current +
          "\nnewsize=9\n");
  EXPECT_FALSE(FEngine.NewVersionAvailable(false));

  FControl = "[update]\ndate=01/01/2000\nlocalversion=" + current + "\n" + news;
  EXPECT_FALSE(FEngine.NewVersionAvailable(false));
  EXPECT_FALSE(FEngine.NewWhatsNew(false).has_value());

  Control(news);
  const auto text = FEngine.NewWhatsNew(false);
  ASSERT_TRUE(text.has_value());
  EXPECT_EQ(text->back(), "Added by the handler");
  EXPECT_EQ(FUi.CountCalls("WhatsNew:"), 0);
  // A plain text goes to the handler when there is one, else to the dialog.
  FEngine.OnDownloadedWhatsNew = nullptr;
  FEngine.NewWhatsNew(true);
  EXPECT_EQ(FUi.CountCalls("WhatsNew:"), 1);

  Control("[whatsnew]\nfile=" + FServer.Url("/rich.rtf") + "\n");
  EXPECT_FALSE(FEngine.NewWhatsNew(false).has_value());
}

}  // namespace
}  // namespace vyn
