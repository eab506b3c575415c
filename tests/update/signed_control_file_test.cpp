// Signed control files: with a public key set, the control file is used only when its
// signature beside it (address + ".minisig") holds and is not older than the last one
// accepted. Keys and signatures come from the real minisign; the servers are real.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "EngineProbe.h"
#include "MinisignTool.h"
#include "TestEnvironment.h"
#include "TestFtpServer.h"
#include "TestHttpServer.h"
#include "platform/Registry.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::TestRoot;
using test::WriteFileText;

enum class TTransport { tHttp, tHttps, tFtp, tPath };

const char* TransportName(TTransport transport) {
  switch (transport) {
    case TTransport::tHttp: return "http";
    case TTransport::tHttps: return "https";
    case TTransport::tFtp: return "ftp";
    case TTransport::tPath: return "path";
  }
  return "";
}

// Names the program to restart, so a control file whose [application] was read shows it.
const std::string KRelease =
    "[update]\nunconditional=1\n[application]\nappupdate=1\nappname={APP}/vynWebBrowser\n";

class SignedControlFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    FRoot = TestRoot() + "/server";
    fs::create_directories(FRoot);
    FKeys = test::MakeMinisignKeyPair(TestRoot() + "/keys");
    for (test::TTestHttpServer* server : {&FHttp, &FHttps}) {
      server->Server().set_mount_point("/", FRoot);
      server->Server().set_logger(
          [this](const httplib::Request& request, const httplib::Response&) {
            const std::lock_guard<std::mutex> lock(FRequestsLock);
            FRequests.push_back(request.path);
          });
      server->Start();
    }
    setenv("VYN_CA_FILE", FHttps.CertificateFile().c_str(), 1);
    FEngine.PublicKey = FKeys.PublicKeyLine;
  }
  void TearDown() override {
    FEngine.StopConnection();
    unsetenv("VYN_CA_FILE");
  }

  // Puts the control file on the server and signs it there (`comment` empty: minisign's own).
  void Publish(const std::string& text, const std::string& comment = "", bool legacy = false,
               const test::TMinisignKeyPair* keys = nullptr) {
    WriteFileText(ControlPath(), text);
    test::MinisignSign(keys ? *keys : FKeys, ControlPath(), comment, legacy);
  }
  std::string ControlPath() const { return FRoot + "/control.inf"; }
  std::string SignaturePath() const { return ControlPath() + ".minisig"; }

  int Fetch(TTransport transport, test::TEngineProbe& engine) {
    engine.Messages.clear();
    engine.StopConnection();
    switch (transport) {
      case TTransport::tHttp:
      case TTransport::tHttps:
        engine.UpdateType = httpUpdate;
        engine.URL = (transport == TTransport::tHttp ? FHttp : FHttps).Url("/control.inf");
        break;
      case TTransport::tFtp:
        if (!FFtp) FFtp = std::make_unique<test::TTestFtpServer>(FRoot);
        engine.UpdateType = ftpUpdate;
        engine.Host = "127.0.0.1";
        engine.Port = FFtp->Port();
        engine.FTPPassive = true;
        engine.URL = "ftp://127.0.0.1/control.inf";
        break;
      case TTransport::tPath:
        engine.UpdateType = fileUpdate;
        engine.URL = ControlPath();
        break;
    }
    if (engine.StartConnection() != wrOK) return -1;
    if (transport == TTransport::tFtp && engine.FTPConnect() != 0) return -1;
    return engine.GetControlFile();
  }
  int Fetch(TTransport transport = TTransport::tHttp) { return Fetch(transport, FEngine); }

  // The staging folder's names: after a refusal none of the control file's files is there.
  std::vector<std::string> Staging() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(FEngine.WinTempDir()))
      names.push_back(entry.path().filename().string());
    return names;
  }
  int Requests(const std::string& path) {
    const std::lock_guard<std::mutex> lock(FRequestsLock);
    int n = 0;
    for (const std::string& p : FRequests) n += p == path;
    return n;
  }

  void ExpectAccepted(TTransport transport = TTransport::tHttp) {
    EXPECT_EQ(Fetch(transport), wrOK) << TransportName(transport);
    EXPECT_FALSE(FEngine.HasMessage(927));
    EXPECT_EQ(FEngine.ControlFileName(), FEngine.WinTempDir() + "control.inf");
    EXPECT_TRUE(FEngine.AppClose());
    // The signature has done its work; only the control file waits for the later steps.
    EXPECT_EQ(Staging(), std::vector<std::string>{"control.inf"});
  }
  void ExpectRefused(TTransport transport = TTransport::tHttp) {
    const std::string previousApp = FEngine.AppName();
    EXPECT_EQ(Fetch(transport), wrBadSignature) << TransportName(transport);
    const test::TStatusRecord* m = FEngine.FindMessage(927);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Text, "Invalid signature in update control file");
    EXPECT_EQ(m->Status, 11);
    EXPECT_EQ(m->Error, 4);
    // Nothing of it is used: no [application] read, no file left for a later step.
    EXPECT_EQ(FEngine.ControlFileName(), "");
    EXPECT_FALSE(FEngine.AppClose());
    EXPECT_EQ(FEngine.AppName(), previousApp);
    EXPECT_EQ(Staging(), std::vector<std::string>{});
  }

  test::TIsolatedEnvironment FEnvironment;
  std::string FRoot;
  test::TMinisignKeyPair FKeys;
  test::TTestHttpServer FHttp;
  test::TTestHttpServer FHttps{true};
  std::unique_ptr<test::TTestFtpServer> FFtp;
  std::mutex FRequestsLock;
  std::vector<std::string> FRequests;
  test::TEngineProbe FEngine;
};

TEST_F(SignedControlFileTest, AcceptedOverEveryTransportPreHashedAndLegacy) {
  for (const bool legacy : {false, true}) {
    Publish(KRelease, "", legacy);
    for (const TTransport transport :
         {TTransport::tHttp, TTransport::tHttps, TTransport::tFtp, TTransport::tPath}) {
      SCOPED_TRACE(std::string(TransportName(transport)) + (legacy ? " legacy" : " pre-hashed"));
      ExpectAccepted(transport);
    }
  }
  EXPECT_EQ(Requests("/control.inf.minisig"), 4);
  // The key may also be given as the text of its .pub file.
  FEngine.PublicKey = ReadFileText(FKeys.PublicKeyFile);
  ExpectAccepted();
}

TEST_F(SignedControlFileTest, EveryBadSignatureIsRefusedAndNothingIsUsed) {
  const test::TMinisignKeyPair other = test::MakeMinisignKeyPair(TestRoot() + "/other");
  struct TCase {
    const char* Name;
    std::function<void()> Prepare;
  } cases[] = {
      {"missing", [&] { Publish(KRelease); fs::remove(SignaturePath()); }},
      {"malformed",
       [&] {
         Publish(KRelease);
         WriteFileText(SignaturePath(), "untrusted comment: x\nnot a signature\n");
       }},
      {"empty", [&] { Publish(KRelease); WriteFileText(SignaturePath(), ""); }},
      {"larger than a signature can be",
       [&] {
         Publish(KRelease);
         const std::string padded = ReadFileText(SignaturePath()) + std::string(64 * 1024, '\n');
         WriteFileText(SignaturePath(), padded);
       }},
      {"another key", [&] { Publish(KRelease, "", false, &other); }},
      {"control file changed after signing",
       [&] {
         Publish(KRelease);
         WriteFileText(ControlPath(), KRelease + "[action]\nrunbefore=/bin/sh\n");
       }},
      {"trusted comment changed",
       [&] {
         Publish(KRelease, "timestamp:5000\tfile:control.inf");
         std::string signature = ReadFileText(SignaturePath());
         signature.replace(signature.find("timestamp:5000"), 14, "timestamp:9000");
         WriteFileText(SignaturePath(), signature);
       }},
      {"no timestamp", [&] { Publish(KRelease, "file:control.inf"); }},
      {"key that does not parse", [&] { Publish(KRelease); FEngine.PublicKey = "RWQ-not-a-key"; }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    FEngine.PublicKey = FKeys.PublicKeyLine;
    c.Prepare();
    ExpectRefused();
  }
  // The long signature never reached the staging folder: its length alone refused it.
  FEngine.PublicKey = FKeys.PublicKeyLine;
  Publish(KRelease);
  WriteFileText(SignaturePath(), std::string(1 << 20, 'A'));
  ExpectRefused();
  EXPECT_TRUE(FEngine.HasMessage(908));
}

TEST_F(SignedControlFileTest, AMissingSignatureIsRefusedOverEveryTransport) {
  Publish(KRelease);
  fs::remove(SignaturePath());
  for (const TTransport transport : {TTransport::tHttps, TTransport::tFtp, TTransport::tPath}) {
    SCOPED_TRACE(TransportName(transport));
    ExpectRefused(transport);
  }
}

TEST_F(SignedControlFileTest, ARefusalDoesNotKeepTheLastAcceptedControlFile) {
  Publish(KRelease);
  ExpectAccepted();
  WriteFileText(SignaturePath(), "untrusted comment: x\n");
  ExpectRefused();
  // The run stops at the refusal; a step driven regardless finds no file list to read.
  EXPECT_EQ(FEngine.GetFileDetails(), 0);
}

TEST_F(SignedControlFileTest, AnOlderSignedControlFileIsNeverTakenAgain) {
  Publish(KRelease, "timestamp:2000\tfile:control.inf");
  ExpectAccepted();
  // The same release fetched again.
  ExpectAccepted();
  // An older release, genuinely signed: a replay.
  const std::string older = "timestamp:1999\tfile:control.inf";
  Publish(KRelease, older);
  ExpectRefused();
  // It stays refused for the next engine too (the next start of the program).
  {
    test::TEngineProbe next;
    next.PublicKey = FKeys.PublicKeyLine;
    EXPECT_EQ(Fetch(TTransport::tHttp, next), wrBadSignature);
  }
  // Without a date store the mark is kept for the signing key in the user's own hive.
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\TVudIvazoz\\SignedControlFiles"));
  ASSERT_EQ(reg.GetKeyNames().size(), 1u);
  ASSERT_TRUE(reg.OpenKey(reg.GetKeyNames()[0], false));
  EXPECT_EQ(reg.ReadString("LastSignedTime"), "2000");
  // A newer release is taken and moves the mark.
  Publish(KRelease, "timestamp:2001\tfile:control.inf");
  ExpectAccepted();
  EXPECT_EQ(reg.ReadString("LastSignedTime"), "2001");
  // A mark that is no number could hide any replay: nothing is taken until it is mended.
  reg.WriteString("LastSignedTime", "soon");
  ExpectRefused();
}

TEST_F(SignedControlFileTest, TheMarkLivesBesideLastDateWhenTheDateStoreIsConfigured) {
  FEngine.LastURLEntry.Key = "Software\\Vendor\\App";
  FEngine.LastURLEntry.Section = "Update";
  Publish(KRelease, "timestamp:3000\tfile:control.inf");
  ExpectAccepted();
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Vendor\\App\\Update"));
  EXPECT_EQ(reg.ReadString("LastSignedTime"), "3000");
  EXPECT_FALSE(reg.KeyExists("\\Software\\TVudIvazoz"));
  Publish(KRelease, "timestamp:2999\tfile:control.inf");
  ExpectRefused();
}

TEST_F(SignedControlFileTest, WithoutAKeyNoSignatureIsAskedFor) {
  FEngine.PublicKey.clear();
  WriteFileText(ControlPath(), KRelease);
  WriteFileText(SignaturePath(), "untrusted comment: x\nnot a signature\n");
  EXPECT_EQ(Fetch(), wrOK);
  EXPECT_EQ(Requests("/control.inf.minisig"), 0);
  EXPECT_TRUE(FEngine.AppClose());
  EXPECT_FALSE(fs::exists(TestRoot() + "/registry/HKEY_CURRENT_USER.reg"));
}

}  // namespace
}  // namespace vyn
