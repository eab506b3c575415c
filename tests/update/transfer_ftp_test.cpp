#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "SilentListener.h"
#include "TestFtpServer.h"
#include "transfer_fixture.h"

namespace vyn {
namespace {

using test::ReadFileText;
using test::WriteFileText;

class TransferFtp : public test::TTransferTest {
protected:
  void SetUp() override {
    TTransferTest::SetUp();
    FRoot = test::TestRoot() + "/ftproot";
    std::filesystem::create_directories(FRoot + "/pub/deep");
    WriteFileText(FRoot + "/top.txt", "top");
    WriteFileText(FRoot + "/pub/deep/a.bin", test::Pattern(30000));
    WriteFileText(FRoot + "/pub/deep/b.txt", "bee");
    FEngine.UpdateType = ftpUpdate;
    FEngine.URL = "ftp://127.0.0.1/control.ini";
    FEngine.Host = "127.0.0.1";
  }
  void TearDown() override { FEngine.StopConnection(); }
  bool Get(const std::string& url) {
    return FEngine.URLGetFile(FEngine.HintConnect(), url, FTarget, false);
  }
  std::string FRoot;
};

TEST_F(TransferFtp, AnonymousPassiveAndActiveFetchFromASubdirectory) {
  test::TTestFtpServer server(FRoot);
  FEngine.Port = server.Port();
  FEngine.FTPDirectory = "pub/deep";
  std::vector<std::string> missingTexts;
  for (bool passive : {true, false}) {
    SCOPED_TRACE(passive ? "passive" : "active");
    FEngine.Messages.clear();
    FEngine.FTPPassive = passive;
    ASSERT_EQ(FEngine.StartConnection(), wrOK);
    ASSERT_EQ(FEngine.FTPConnect(), 0);
    ExpectMessage(923, "Connect to host : 127.0.0.1", 3, 0);
    int64_t lastSize = -1;
    FEngine.OnFileProgress = [&](TVudIvazoz&, const std::string&, int64_t, int64_t size) {
      lastSize = size;
    };
    // Only the file name of the address counts; the directory is changed once per connection.
    EXPECT_TRUE(Get("ftp://elsewhere/ignored/a.bin"));
    EXPECT_TRUE(Get("b.txt"));
    EXPECT_EQ(ReadFileText(FTarget + "a.bin"), test::Pattern(30000));
    EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "bee");
    EXPECT_EQ(lastSize, 3);
    ExpectMessage(974, "Change FTP directory to : pub/deep", 3, 0);
    int changes = 0;
    for (int id : FEngine.MessageIds()) changes += id == 974;
    EXPECT_EQ(changes, 1);
    // A missing file is reported by the step that failed, the same way in both modes.
    EXPECT_FALSE(Get("missing.bin"));
    ASSERT_TRUE(FEngine.HasMessage(976));
    missingTexts.push_back(FEngine.FindMessage(976)->Text);
    FEngine.StopConnection();
  }
  EXPECT_EQ(missingTexts[0], missingTexts[1]);
  EXPECT_EQ(missingTexts[1].find("inet_ntop"), std::string::npos) << missingTexts[1];
  // One connection per run: the files of a run reuse it.
  const std::string log = server.Log();
  int sessions = 0;
  for (size_t at = log.find("logged in"); at != std::string::npos;
       at = log.find("logged in", at + 1))
    ++sessions;
  EXPECT_EQ(sessions, 2);
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFtp, NamedUserAndTheFailuresOfConnectDirectoryAndFile) {
  test::TTestFtpServer server(FRoot, "fuser", "fpass");
  FEngine.Port = server.Port();
  FEngine.FTPPassive = true;
  FEngine.UserID = "fuser";
  FEngine.Password = "wrong";
  ASSERT_EQ(FEngine.StartConnection(), wrOK);
  EXPECT_EQ(FEngine.FTPConnect(), -1);
  EXPECT_EQ(FEngine.HintConnect(), nullptr);
  EXPECT_EQ(FEngine.MessageIds(), (std::vector<int>{918, 921, 923}));

  FEngine.Password = "fpass";
  ASSERT_EQ(FEngine.FTPConnect(), 0);
  EXPECT_TRUE(Get("top.txt"));
  EXPECT_EQ(ReadFileText(FTarget + "top.txt"), "top");

  FEngine.Messages.clear();
  WriteFileText(FTarget + "missing.txt", "old");
  EXPECT_FALSE(Get("missing.txt"));
  EXPECT_EQ(FEngine.MessageIds(), (std::vector<int>{915, 925, 946, 976, 917}));
  EXPECT_EQ(FEngine.FindMessage(925)->Status, 11);
  EXPECT_NE(FEngine.FindMessage(925)->Error, 0);
  ExpectMessage(946, "Cannot download update file : missing.txt", 13,
                FEngine.FindMessage(925)->Error);
  ExpectMessage(917, "File not found : missing.txt", 2, 1);
  EXPECT_EQ(ReadFileText(FTarget + "missing.txt"), "old");

  FEngine.FTPDirectory = "no/such";
  EXPECT_FALSE(Get("top.txt"));
  ExpectMessage(975, "Cannot change FTP directory to : no/such", 3, 8);

  FEngine.Messages.clear();
  FEngine.StopConnection();
  EXPECT_EQ(FEngine.MessageIds(), (std::vector<int>{954, 949, 949}));
  EXPECT_FALSE(FEngine.InProgress());
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFtp, NamesAndFoldersThatClimbAreRefused) {
  test::TTestFtpServer server(FRoot);
  FEngine.Port = server.Port();
  FEngine.FTPPassive = true;
  ASSERT_EQ(FEngine.StartConnection(), wrOK);
  ASSERT_EQ(FEngine.FTPConnect(), 0);
  // ".." as the file would fetch the listing of the folder above.
  for (const std::string url : {"ftp://h/pub/deep/..", "..", "."}) {
    SCOPED_TRACE(url);
    FEngine.Messages.clear();
    EXPECT_FALSE(Get(url));
    ExpectMessage(917, "File not found : " + url, 2, 1);
  }
  FEngine.FTPDirectory = "pub/deep/../..";
  FEngine.Messages.clear();
  EXPECT_FALSE(Get("top.txt"));
  ExpectMessage(975, "Cannot change FTP directory to : pub/deep/../..", 3, 8);
  EXPECT_TRUE(std::filesystem::is_empty(FTarget));
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFtp, AGreetingThatNeverComesTimesOutWhileTheWindowLives) {
  test::TSilentListener silent;
  FEngine.Port = silent.Port();
  FEngine.ReceiveTimeOut = 600;
  ASSERT_EQ(FEngine.StartConnection(), wrOK);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FEngine.FTPConnect(), -1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_GE(FUi.PendingEventsCalls, 5);
}

}  // namespace
}  // namespace vyn
