// Files bound to the control file by their SHA-256: a file whose bytes differ is a failed
// download that replaces nothing; with a public key every file must be bound. Whole runs
// against real servers, with control files signed by the real minisign.

#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EngineProbe.h"
#include "MinisignTool.h"
#include "ScriptedUserInterface.h"
#include "TestEnvironment.h"
#include "TestFtpServer.h"
#include "TestHttpServer.h"
#include "platform/Process.h"
#include "update/trust/Sha256.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TestRoot;
using test::WriteFileText;

std::string Sha256Of(const std::string& bytes) {
  TSha256 hash;
  hash.Update(bytes.data(), bytes.size());
  return hash.HexDigest();
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

enum class TTransport { tHttp, tFtp, tPath };

class SignedFilesTest : public ::testing::Test {
protected:
  void SetUp() override {
    FRoot = TestRoot() + "/server";
    FTarget = TestRoot() + "/target/";
    fs::create_directories(FRoot);
    fs::create_directories(FTarget);
    FKeys = test::MakeMinisignKeyPair(TestRoot() + "/keys");
    FServer.Server().set_mount_point("/", FRoot);
    FServer.Server().set_logger([this](const httplib::Request& request, const httplib::Response&) {
      const std::lock_guard<std::mutex> lock(FRequestsLock);
      FRequests.push_back(request.path);
    });
    FServer.Start();
    FEngine.SetUserInterface(&FUi);
    FEngine.UpdateUpdate = wuuSilent;
    FEngine.OnSuccess = [this](TVudIvazoz&) { ++FSuccesses; };
    Use(TTransport::tHttp);
  }

  void Use(TTransport transport) {
    FTransport = transport;
    switch (transport) {
      case TTransport::tHttp:
        FEngine.UpdateType = httpUpdate;
        FEngine.URL = FServer.Url("/control.inf");
        break;
      case TTransport::tFtp:
        if (!FFtp) FFtp = std::make_unique<test::TTestFtpServer>(FRoot);
        FEngine.UpdateType = ftpUpdate;
        FEngine.Host = "127.0.0.1";
        FEngine.Port = FFtp->Port();
        FEngine.FTPPassive = true;
        FEngine.URL = "ftp://127.0.0.1/control.inf";
        break;
      case TTransport::tPath:
        FEngine.UpdateType = fileUpdate;
        FEngine.URL = FRoot + "/control.inf";
        break;
    }
  }
  std::string Address(const std::string& name) const {
    switch (FTransport) {
      case TTransport::tHttp: return FServer.Url("/" + name);
      case TTransport::tFtp: return "ftp://127.0.0.1/" + name;
      case TTransport::tPath: return FRoot + "/" + name;
    }
    return "";
  }
  // A file section for `name` on the server, to the target folder.
  std::string File(int k, const std::string& name, const std::string& sha256,
                   const std::string& more = "") const {
    std::string section = "[file" + std::to_string(k) + "]\nurl=" + Address(name) +
                          "\ntargetdir=" + FTarget + "\n" + more;
    if (!sha256.empty()) section += "sha256=" + sha256 + "\n";
    return section;
  }
  // Puts an unconditional release with these file sections on the server, signed.
  void Publish(const std::vector<std::string>& files, const std::string& more = "") {
    std::string text = "[update]\nunconditional=1\n" + more + "[files]\ncount=" +
                       std::to_string(files.size()) + "\n";
    for (const std::string& file : files) text += file;
    WriteFileText(FRoot + "/control.inf", text);
    test::MinisignSign(FKeys, FRoot + "/control.inf");
  }
  void Serve(const std::string& name, const std::string& bytes) {
    WriteFileText(FRoot + "/" + name, bytes);
  }

  int Requests(const std::string& path) {
    const std::lock_guard<std::mutex> lock(FRequestsLock);
    int n = 0;
    for (const std::string& p : FRequests) n += p == path;
    return n;
  }
  // What the run left in the staging folder: nothing, once a run has ended.
  std::vector<std::string> Staging() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(FEngine.WinTempDir()))
      names.push_back(entry.path().filename().string());
    return names;
  }
  void ExpectFailedDownload(const std::string& name) const {
    bool found = false;
    for (const test::TStatusRecord& m : FEngine.Messages)
      found |= m.Id == 946 && m.Text == "Cannot download update file : " + Address(name) &&
               m.Status == 2 && m.Error == 9;
    EXPECT_TRUE(found) << "no 946 for " << name;
  }

  test::TIsolatedEnvironment FEnvironment;
  std::string FRoot;
  std::string FTarget;
  test::TMinisignKeyPair FKeys;
  test::TTestHttpServer FServer;
  std::unique_ptr<test::TTestFtpServer> FFtp;
  TTransport FTransport = TTransport::tHttp;
  std::mutex FRequestsLock;
  std::vector<std::string> FRequests;
  test::TEngineProbe FEngine;
  test::TScriptedUserInterface FUi;
  int FSuccesses = 0;
};

TEST_F(SignedFilesTest, AFileSwappedOnTheServerAfterSigningReplacesNothing) {
  FEngine.PublicKey = FKeys.PublicKeyLine;
  WriteFileText(FTarget + "a.bin", "installed");
  Serve("a.bin", "release 2");
  Publish({File(1, "a.bin", Sha256Of("release 2"))});
  Serve("a.bin", "release X");  // the same length: only the hash can tell

  FEngine.DoUpdate(false);
  EXPECT_EQ(ReadFileText(FTarget + "a.bin"), "installed");
  ExpectFailedDownload("a.bin");
  EXPECT_EQ(FSuccesses, 0);
  EXPECT_EQ(Requests("/a.bin"), 1);
  EXPECT_EQ(Staging(), std::vector<std::string>{});  // the temporary file went with it

  // The file the control file was signed for goes through.
  Serve("a.bin", "release 2");
  FEngine.Messages.clear();
  FEngine.DoUpdate(false);
  EXPECT_EQ(ReadFileText(FTarget + "a.bin"), "release 2");
  EXPECT_FALSE(FEngine.HasMessage(946));
  EXPECT_EQ(FSuccesses, 1);
}

TEST_F(SignedFilesTest, WithAKeyAFileWithoutAHashRefusesTheReleaseBeforeAnyDownload) {
  FEngine.PublicKey = FKeys.PublicKeyLine;
  FEngine.UpdateUpdate = wuuPromptOnce;
  Serve("a.bin", "first");
  Serve("b.bin", "second");
  const std::string valid = Sha256Of("second");
  const struct {
    const char* Name;
    std::string Sha256;
  } cases[] = {
      {"none", ""},
      {"too short", valid.substr(1)},
      {"not hex", std::string(64, 'g')},
      {"a word after it", valid + " x"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    FEngine.Messages.clear();
    FUi.Calls.clear();
    Publish({File(1, "a.bin", Sha256Of("first")), File(2, "b.bin", c.Sha256)});
    FEngine.DoUpdate(false);
    ExpectFailedDownload("b.bin");
    EXPECT_EQ(Requests("/a.bin") + Requests("/b.bin"), 0);
    EXPECT_FALSE(fs::exists(FTarget + "a.bin"));
    EXPECT_EQ(FUi.CountCalls("MessageBox:Download update files ?"), 0);
    EXPECT_EQ(FSuccesses, 0);
  }
}

TEST_F(SignedFilesTest, WithoutAKeyAGivenHashIsStillCheckedOverEveryTransport) {
  for (const TTransport transport : {TTransport::tHttp, TTransport::tFtp, TTransport::tPath}) {
    Use(transport);
    SCOPED_TRACE(FEngine.URL);
    const struct {
      const char* Name;
      std::string Sha256;
      bool Replaced;
    } cases[] = {
        {"wrong", Sha256Of("something else"), false},
        {"none", "", true},
        {"right, in capitals", Upper(Sha256Of("new bytes")), true},
    };
    for (const auto& c : cases) {
      SCOPED_TRACE(c.Name);
      FEngine.Messages.clear();
      WriteFileText(FTarget + "a.bin", "installed");
      Serve("a.bin", "new bytes");
      Publish({File(1, "a.bin", c.Sha256)});
      FEngine.DoUpdate(false);
      EXPECT_EQ(ReadFileText(FTarget + "a.bin"), c.Replaced ? "new bytes" : "installed");
      EXPECT_EQ(FEngine.HasMessage(946), !c.Replaced);
      EXPECT_EQ(Staging(), std::vector<std::string>{});
    }
  }
}

TEST_F(SignedFilesTest, ACabinetIsHashedAsDownloadedBeforeItIsExtracted) {
  FEngine.PublicKey = FKeys.PublicKeyLine;
  FEngine.ExtractCAB = true;
  const std::string work = TestRoot() + "/cab";
  fs::create_directories(work);
  WriteFileText(work + "/inside.txt", "packed text");
  int exitCode = -1;
  const TProcessResult gcab = SpawnChild({"gcab", "-c", "pack.cab", "inside.txt"}, -1, work);
  ASSERT_TRUE(gcab.Started && CollectChild(gcab.Pid, 30000, exitCode) && exitCode == 0);
  const std::string cabinet = ReadFileText(work + "/pack.cab");
  Serve("pack.cab", cabinet);

  // The hash of what the cabinet holds is not the hash of the cabinet.
  Publish({File(1, "pack.cab", Sha256Of("packed text"), "compressed=1\n")});
  FEngine.DoUpdate(false);
  ExpectFailedDownload("pack.cab");
  EXPECT_FALSE(fs::exists(FTarget + "inside.txt"));

  Publish({File(1, "pack.cab", Sha256Of(cabinet), "compressed=1\n")});
  FEngine.DoUpdate(false);
  EXPECT_EQ(ReadFileText(FTarget + "inside.txt"), "packed text");
}

TEST_F(SignedFilesTest, AComponentThatBreaksItsHashIsNotLeftForTheUpdater) {
  FEngine.PublicKey = FKeys.PublicKeyLine;
  Serve("main.bin", "tampered");
  Publish({File(1, "main.bin", Sha256Of("genuine"))},
          "[application]\nappupdate=1\nappname={APP}/main.bin\nappcomps=main.bin\n");
  ASSERT_EQ(FEngine.StartConnection(), wrOK);
  ASSERT_EQ(FEngine.GetControlFile(), wrOK);
  ASSERT_EQ(FEngine.GetFileDetails(), 1);
  ASSERT_EQ(FEngine.ProcessFileDetails(), 0);
  EXPECT_EQ(FEngine.GetFileUpdates(), -1);
  EXPECT_FALSE(fs::exists(FEngine.WinTempDir() + "main.bin"));
  EXPECT_FALSE(FEngine.AppNeedsRestart());
  FEngine.StopConnection();
}

TEST_F(SignedFilesTest, AFileAHandlerFetchedIsHeldToItsHashToo) {
  FEngine.OnBeforeUrlToFile = [](TInternetSession*, const std::string& url,
                                 const std::string& tgt, bool&, bool& handled, bool& success) {
    if (url.find("a.bin") == std::string::npos) return;
    WriteFileText(tgt + "a.bin", "from the handler");
    handled = success = true;
  };
  Publish({File(1, "a.bin", Sha256Of("what was signed"))});
  FEngine.DoUpdate(false);
  ExpectFailedDownload("a.bin");
  EXPECT_EQ(Staging(), std::vector<std::string>{});
  EXPECT_FALSE(fs::exists(FTarget + "a.bin"));
}

}  // namespace
}  // namespace vyn
