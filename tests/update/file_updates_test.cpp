// Fetching the listed files: the questions asked, the names and folders used, failures, and
// the hand-over of each fetched file to post-processing.

#include <gtest/gtest.h>

#include <filesystem>
#include <mutex>
#include <stdexcept>

#include "EngineProbe.h"
#include "ScriptedUserInterface.h"
#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "tests/archive/support/ArchiveFixtures.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::WriteFileText;

class TFileEngine : public test::TEngineProbe {
public:
  void SetAppClose(bool close) { FAppClose = close; }
  void SetProgressForm(bool shown) { FProgressForm = shown; }
};

class FileUpdates : public ::testing::Test {
protected:
  void SetUp() override {
    FApp = test::TestRoot() + "/app/";
    FTarget = test::TestRoot() + "/target/";
    fs::create_directories(FApp);
    fs::create_directories(FTarget);
    FPrevious = fs::current_path();
    fs::current_path(FApp);

    FServer.Serve("/f/a.txt", "A");
    FServer.Serve("/f/b.txt", "B");
    FServer.Serve("/f/other.txt", "O");
    const std::string plain = test::TestRoot() + "/notes.txt";
    WriteFileText(plain, "notes, notes, notes");
    ASSERT_TRUE(test::MakeSzdd(plain, test::TestRoot() + "/notes.tx_", 't'));
    FServer.Serve("/f/notes.tx_", ReadFileText(test::TestRoot() + "/notes.tx_"));
    FServer.Server().set_logger([this](const httplib::Request& request, const httplib::Response&) {
      std::lock_guard<std::mutex> guard(FLock);
      FRequested.push_back(request.path);
    });
    FServer.Start();

    FEngine.SetUserInterface(&FUi);
    FEngine.URL = FServer.Url("/control.ini");
    ASSERT_EQ(FEngine.StartConnection(), wrOK);
  }
  void TearDown() override {
    FEngine.StopConnection();
    fs::current_path(FPrevious);
  }

  TFileDescription& AddFile(const std::string& path, const std::string& target) {
    TFileDescription& file = FEngine.FileList().Add();
    file.URL = FServer.Url(path);
    file.TargetDir = target;
    file.Description = "file " + path;
    return file;
  }
  std::vector<std::string> Requested() {
    std::lock_guard<std::mutex> guard(FLock);
    return FRequested;
  }
  std::vector<std::string> CallsWithout(const std::string& prefix) const {
    std::vector<std::string> calls;
    for (const std::string& call : FUi.Calls)
      if (call.rfind(prefix, 0) != 0) calls.push_back(call);
    return calls;
  }

  test::TIsolatedEnvironment FEnvironment;
  test::TTestHttpServer FServer;
  TFileEngine FEngine;
  test::TScriptedUserInterface FUi;
  std::string FApp;
  std::string FTarget;
  fs::path FPrevious;
  std::mutex FLock;
  std::vector<std::string> FRequested;
};

TEST_F(FileUpdates, PromptOnceAsksOnceAndNoFetchesNothing) {
  AddFile("/f/a.txt", FTarget);
  AddFile("/f/b.txt", FTarget);
  FEngine.UpdateUpdate = wuuPromptOnce;
  FUi.MessageBoxAnswers = {TMessageResult::mrNo};
  EXPECT_EQ(FEngine.GetFileUpdates(), 0);
  EXPECT_TRUE(Requested().empty());
  EXPECT_EQ(FUi.Calls, (std::vector<std::string>{"MessageBox:Download update files ?"}));

  FUi.Calls.clear();
  FUi.MessageBoxAnswers = {TMessageResult::mrYes, TMessageResult::mrNo};
  EXPECT_EQ(FEngine.GetFileUpdates(), 0);
  EXPECT_EQ(Requested(), (std::vector<std::string>{"/f/a.txt", "/f/b.txt"}));
  EXPECT_EQ(FUi.Calls, (std::vector<std::string>{"MessageBox:Download update files ?"}));
  EXPECT_EQ(FEngine.UpdateUpdate, wuuPromptOnce);
  EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "B");
}

TEST_F(FileUpdates, PromptAllAsksForEveryFile) {
  AddFile("/f/a.txt", FTarget);
  AddFile("/f/b.txt", FTarget);
  FEngine.UpdateUpdate = wuuPromptAll;
  FUi.MessageBoxAnswers = {TMessageResult::mrNo, TMessageResult::mrYes};
  EXPECT_EQ(FEngine.GetFileUpdates(), 0);
  EXPECT_EQ(Requested(), (std::vector<std::string>{"/f/b.txt"}));
  EXPECT_EQ(FUi.Calls, (std::vector<std::string>{"MessageBox:Download update file : a.txt",
                                                 "MessageBox:Download update file : b.txt"}));
  EXPECT_FALSE(fs::exists(FTarget + "a.txt"));
  EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "B");
}

TEST_F(FileUpdates, AFailedDownloadIsReportedAndTheNextOneStillFetched) {
  const std::string missing = FServer.Url("/f/missing.txt");
  AddFile("/f/missing.txt", FTarget);
  AddFile("/f/b.txt", FTarget);
  FEngine.UpdateUpdate = wuuSilent;
  FEngine.SetAppClose(true);
  FEngine.SetProgressForm(true);
  EXPECT_EQ(FEngine.GetFileUpdates(), -1);
  EXPECT_FALSE(FEngine.AppClose());
  const test::TStatusRecord* failure = FEngine.FindMessage(946);
  ASSERT_NE(failure, nullptr);
  EXPECT_EQ(failure->Text, "Cannot download update file : " + missing);
  EXPECT_EQ(failure->Status, 2);
  EXPECT_EQ(failure->Error, 9);
  EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "B");
  EXPECT_EQ(FEngine.FileList().ActiveItem, 1);
  // Silent: no question; the progress window around each transfer, the failed one included.
  EXPECT_EQ(CallsWithout("ProgressUpdate"),
            (std::vector<std::string>{"ProgressShow", "ProgressHide", "ProgressShow",
                                      "ProgressHide"}));
}

TEST_F(FileUpdates, TheProgressWindowIsHiddenWhenATransferThrows) {
  AddFile("/f/a.txt", FTarget);
  FEngine.UpdateUpdate = wuuSilent;
  FEngine.SetProgressForm(true);
  FEngine.OnFileDownloaded = [](TVudIvazoz&, const std::string&) {
    throw std::runtime_error("handler failed");
  };
  EXPECT_THROW(FEngine.GetFileUpdates(), std::runtime_error);
  EXPECT_EQ(CallsWithout("ProgressUpdate"),
            (std::vector<std::string>{"ProgressShow", "ProgressHide"}));
}

TEST_F(FileUpdates, AHandlerChangesTheAddressButNotTheLocalName) {
  AddFile("/f/a.txt", FTarget);
  FEngine.UpdateUpdate = wuuSilent;
  std::vector<std::string> seen;
  FEngine.OnBeforeFileDownload = [&](TVudIvazoz& engine, int fileIdx,
                                     const std::string& description, std::string& url) {
    seen.push_back(std::to_string(fileIdx) + ":" + description + ":" +
                   std::to_string(engine.FileList().ActiveItem));
    url = FServer.Url("/f/other.txt");
    // The loop covers the files listed when it started.
    engine.FileList().Add().URL = FServer.Url("/f/b.txt");
  };
  EXPECT_EQ(FEngine.GetFileUpdates(), 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"1:file /f/a.txt:0"}));
  EXPECT_EQ(Requested(), (std::vector<std::string>{"/f/other.txt"}));
  EXPECT_EQ(ReadFileText(FTarget + "a.txt"), "O");
  EXPECT_FALSE(fs::exists(FTarget + "other.txt"));
  EXPECT_EQ(test::Listing(FEngine.WinTempDir()), std::vector<std::string>{});
}

TEST_F(FileUpdates, MissingTargetFoldersAreCreated) {
  FEngine.UpdateUpdate = wuuSilent;
  for (const bool staging : {true, false}) {
    const std::string target = test::TestRoot() + (staging ? "/s/deep/er/" : "/d/deep/er/");
    FEngine.FileList().Clear();
    AddFile("/f/a.txt", target);
    FEngine.UseWinTempDir = staging;
    EXPECT_EQ(FEngine.GetFileUpdates(), 0);
    EXPECT_EQ(ReadFileText(target + "a.txt"), "A") << target;
  }
}

TEST_F(FileUpdates, AFetchedFileIsPostProcessed) {
  FEngine.UpdateUpdate = wuuSilent;
  FEngine.ExtractCAB = true;
  AddFile("/f/notes.tx_", "").Compressed = true;
  EXPECT_EQ(FEngine.GetFileUpdates(), 0);
  EXPECT_EQ(ReadFileText(FApp + "notes.txt"), "notes, notes, notes");
  EXPECT_FALSE(fs::exists(FApp + "notes.tx_"));
  EXPECT_EQ(test::Listing(FEngine.WinTempDir()), std::vector<std::string>{});
}

}  // namespace
}  // namespace vyn
