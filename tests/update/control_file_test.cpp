// Fetching and reading the control file: address, signature and [application].

#include <gtest/gtest.h>

#include "EngineProbe.h"
#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

using test::TEngineProbe;

class ControlFileTest : public ::testing::Test {
protected:
  // Serves `text` as a local control file through fileUpdate and fetches it.
  int Fetch(const std::string& text, const std::string& name = "update.inf") {
    const std::string source = test::TestRoot() + "/server";
    ForceDirectories(source);
    test::WriteFileText(source + "/" + name, text);
    Engine.UpdateType = fileUpdate;
    Engine.URL = source + "/" + name;
    return Engine.GetControlFile();
  }
  TEngineProbe Engine;
};

TEST_F(ControlFileTest, FetchedIntoTheStagingFolder) {
  EXPECT_EQ(Fetch("[update]\ndescr=x\n"), wrOK);
  EXPECT_EQ(Engine.ControlFileName(), Engine.WinTempDir() + "update.inf");
  EXPECT_EQ(test::ReadFileText(Engine.ControlFileName()), "[update]\ndescr=x\n");
  ASSERT_TRUE(Engine.FindMessage(926));
  EXPECT_EQ(Engine.FindMessage(926)->Status, 3);
  EXPECT_EQ(Engine.AppParam(), " ");  // an empty parameter list becomes one space
  EXPECT_FALSE(Engine.AppClose());
}

TEST_F(ControlFileTest, NoAddressOrNoFile) {
  Engine.UpdateType = fileUpdate;
  EXPECT_EQ(Engine.GetControlFile(), wrNoControlFile);
  Engine.URL = test::TestRoot() + "/missing.inf";
  EXPECT_EQ(Engine.GetControlFile(), wrNoControlFile);
  const test::TStatusRecord* m = Engine.FindMessage(925);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Text, "Update control file not found");
  EXPECT_EQ(m->Status, 2);
  EXPECT_EQ(m->Error, 0);
  EXPECT_EQ(Engine.ControlFileName(), "");
}

TEST_F(ControlFileTest, SignatureIsCaseSensitiveAndApplicationIsStillRead) {
  Engine.SignatureCheck = true;
  const std::string app = "[application]\nappupdate=1\nappname={WIN}\\bin\\app\nsilentrestart=1\n";
  EXPECT_EQ(Fetch("[update]\nsignature=VudIvazoz\n" + app), wrOK);
  EXPECT_EQ(Fetch("[update]\nsignature=vudivazoz\n" + app), wrBadSignature);
  const test::TStatusRecord* m = Engine.FindMessage(927);
  ASSERT_TRUE(m);
  EXPECT_EQ(m->Status, 11);
  EXPECT_EQ(m->Error, 4);
  EXPECT_TRUE(Engine.AppClose());
  EXPECT_EQ(Engine.AppName(), "/usr/bin/app");
  EXPECT_TRUE(Engine.AppSilentRestart());
  EXPECT_EQ(Fetch("[update]\n" + app), wrBadSignature);  // missing counts as different
  Engine.SignatureCheck = false;
  EXPECT_EQ(Fetch("[update]\nsignature=other\n"), wrOK);
}

TEST_F(ControlFileTest, ApplicationSection) {
  struct TCase {
    const char* What;
    std::string Section;
    bool Close;
    std::string Name;
    std::string Param;
    bool Silent;
  } cases[] = {
      {"restart", "appupdate=1\nappname={APP}\\app\nappparam=-x {APP}\nsilentrestart=1\n", true,
       ExeDir() + "/app", "-x {APP}", true},
      {"no program, no restart", "appupdate=1\n", false, "", " ", false},
      {"flag must be 1", "appupdate=yes\nappname=/bin/a\nsilentrestart=2\n", false, "/bin/a", " ",
       false},
      {"out of range", "appupdate=4294967297\nappname=/bin/a\n", false, "/bin/a", " ", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Fetch("[application]\n" + c.Section), wrOK) << c.What;
    EXPECT_EQ(Engine.AppClose(), c.Close) << c.What;
    EXPECT_EQ(Engine.AppName(), c.Name) << c.What;
    EXPECT_EQ(Engine.AppParam(), c.Param) << c.What;
    EXPECT_EQ(Engine.AppSilentRestart(), c.Silent) << c.What;
  }
  EXPECT_EQ(Fetch("[application]\nappcomps={APP}\\a.bin {app}\\b.bin\n"), wrOK);
  EXPECT_EQ(Engine.AppComps(), ExeDir() + "/a.bin " + ExeDir() + "/b.bin");
}

TEST_F(ControlFileTest, OnSetAppParamsMayChangeTheParameters) {
  std::string seen = "<not raised>";
  Engine.OnSetAppParams = [&](TVudIvazoz&, std::string& params) {
    seen = params;
    params = params == "clear" ? "" : params + " --more";
  };
  Fetch("[application]\nappparam=-a\n");
  EXPECT_EQ(seen, "-a");
  EXPECT_EQ(Engine.AppParam(), "-a --more");
  Fetch("[application]\nappparam=clear\n");
  EXPECT_EQ(Engine.AppParam(), " ");
}

TEST_F(ControlFileTest, StoredAddressIsFetchedInsteadOfUrl) {
  const std::string source = test::TestRoot() + "/server";
  ForceDirectories(source);
  test::WriteFileText(source + "/stored.inf", "[update]\ndescr=stored\n");
  Engine.LastURLEntry.Key = "Software\\Vendor";
  Engine.LastURLEntry.Section = "Update";
  Engine.LastURLEntry.Save = true;
  Engine.URLPut(source + "/stored.inf");
  EXPECT_EQ(Fetch("[update]\ndescr=property\n"), wrOK);
  EXPECT_EQ(Engine.ControlFileName(), Engine.WinTempDir() + "stored.inf");
}

TEST_F(ControlFileTest, BinaryAndHugeFilesDoNotBreakTheReader) {
  std::string junk;
  for (int i = 0; i < 100000; ++i) junk += static_cast<char>((i * 7919) & 0xFF);
  EXPECT_EQ(Fetch(junk), wrOK);
  EXPECT_EQ(Fetch("[application]\nappparam=" + std::string(10 * 1024 * 1024, 'p') + "\n"), wrOK);
  EXPECT_EQ(Engine.AppParam().size(), 10u * 1024 * 1024);
}

// A whole check against a real HTTP server, with the log written as a user would see it.
TEST(ControlFileHttpTest, StartFetchCheckAndStop) {
  test::TTestHttpServer server;
  server.Serve("/files/app.INF",
               "[update]\nsignature=VudIvazoz\ndate=01/02/2030\ndescr=New\\nrelease\n");
  server.Start();

  TEngineProbe engine;
  engine.URL = server.Url("/files/app.INF");
  engine.SignatureCheck = true;
  engine.Logging = true;
  engine.SetLogFileName(test::TestRoot() + "/update.log");
  ASSERT_EQ(engine.StartConnection(), wrOK);
  ASSERT_EQ(engine.GetControlFile(), wrOK);
  const std::string controlFile = engine.ControlFileName();
  EXPECT_TRUE(FileExists(controlFile));
  EXPECT_EQ(engine.DoVersionCheck(), wrNewByDate);
  EXPECT_EQ(engine.UpdateDescription(), "New\rrelease");
  engine.StopConnection();
  EXPECT_FALSE(FileExists(controlFile));

  const std::string log = test::ReadFileText(test::TestRoot() + "/update.log");
  for (const char* part : {"[926] Update control file found (Status:3) (Error:0)",
                           "[928] Date based update found", "[929] New version found : 01/02/2030",
                           "[949] Closed Internet connection"})
    EXPECT_NE(log.find(part), std::string::npos) << part;
}

TEST(ControlFileHttpTest, ServerErrorMeansNoControlFile) {
  test::TTestHttpServer server;
  server.Start();
  TEngineProbe engine;
  engine.URL = server.Url("/missing.inf");
  ASSERT_EQ(engine.StartConnection(), wrOK);
  EXPECT_EQ(engine.GetControlFile(), wrNoControlFile);
  EXPECT_TRUE(engine.HasMessage(916));
  EXPECT_TRUE(engine.HasMessage(925));
  engine.StopConnection();
}

}  // namespace
}  // namespace vyn
