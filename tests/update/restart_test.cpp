// The handoff to the updater: components kept for it, the handoff file, the command line, the
// start, and the end of the application.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "EngineProbe.h"
#include "RunAsUser.h"
#include "ScriptedUserInterface.h"
#include "TestEnvironment.h"
#include "TestHttpServer.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/Resources.h"
#include "update/files/AppFolderRights.h"
#include "tests/archive/support/ArchiveFixtures.h"

namespace vyn {
namespace {

using test::ReadFileText;
using test::TestRoot;
using test::WriteFileText;

// A stand-in updater: writes each argument on a line, and its current folder, into
// updater-args.txt of its current folder.
const char* const KStandInUpdater =
    "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > updater-args.txt\n"
    "pwd >> updater-args.txt\n";

class RestartTest : public ::testing::Test {
protected:
  void SetUp() override {
    FAppDir = TestRoot() + "/app";
    ForceDirectories(FAppDir);
    ASSERT_EQ(getcwd(FPreviousDir, sizeof FPreviousDir), FPreviousDir);
    ASSERT_EQ(chdir(FAppDir.c_str()), 0);
    const std::string script = TestRoot() + "/dezaziz.exe";
    WriteFileText(script, KStandInUpdater);
    ASSERT_TRUE(test::MakeSzdd(script, TestRoot() + "/dezaziz.ex_", 'e'));
    FPacked = ReadFileText(TestRoot() + "/dezaziz.ex_");
    RegisterResource("UPD", FPacked);
    FEngine.SetUserInterface(&FUi);
  }
  void TearDown() override {
    UnregisterResource("UPD");
    ASSERT_EQ(chdir(FPreviousDir), 0);
  }

  // Reads the control file's [application] section as a run would.
  void Application(const std::string& keys) {
    const std::string control = TestRoot() + "/control.inf";
    WriteFileText(control, "[application]\n" + keys);
    FEngine.UpdateType = fileUpdate;
    FEngine.URL = control;
    ASSERT_EQ(FEngine.GetControlFile(), wrOK);
  }

  // The stand-in's arguments and, last, its folder; waits for it to have written them.
  std::vector<std::string> UpdaterArguments() const {
    const std::string path = FAppDir + "/updater-args.txt";
    for (int i = 0; i < 500; ++i) {
      const std::string text = ReadFileText(path);
      if (!text.empty() && text.back() == '\n' && text.find(FAppDir) != std::string::npos) {
        std::vector<std::string> lines;
        size_t start = 0;
        for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
          lines.push_back(text.substr(start, nl - start));
        return lines;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return {};
  }

  test::TIsolatedEnvironment FEnvironment;
  test::TEngineProbe FEngine;
  test::TScriptedUserInterface FUi;
  std::string FAppDir;
  std::string FPacked;
  char FPreviousDir[4096];
};

TEST_F(RestartTest, TheComponentTestIsASubstringTestWithoutCase) {
  Application("appupdate=1\nappname=app\nappcomps=app.exe tools.dll\n");
  EXPECT_TRUE(FEngine.IsApplicationComponent("TOOLS.dll"));
  EXPECT_TRUE(FEngine.IsApplicationComponent("p.exe"));  // inside APP.EXE
  EXPECT_FALSE(FEngine.IsApplicationComponent("other.exe"));
  EXPECT_EQ(FEngine.FindMessage(962)->Text, "Found application component : TOOLS.dll");
  EXPECT_TRUE(FEngine.AppNeedsRestart());
}

TEST_F(RestartTest, ADownloadedComponentWaitsInTheStagingFolderUntouched) {
  test::TTestHttpServer server;
  server.Serve("/main.cab", "not a cabinet, and not to be extracted");
  server.Server().Get("/u.inf", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content("[application]\nappupdate=1\nappname=app\nappcomps=MAIN.CAB\n"
                    "[files]\ncount=1\n[file1]\nurl=" + server.Url("/main.cab") +
                        "\ncompressed=1\ntargetdir=" + FAppDir + "\n",
                    "text/plain");
  });
  server.Start();
  FEngine.URL = server.Url("/u.inf");
  FEngine.ExtractCAB = true;
  FEngine.UpdateUpdate = wuuSilent;
  ASSERT_EQ(FEngine.StartConnection(), wrOK);
  ASSERT_EQ(FEngine.GetControlFile(), wrOK);
  ASSERT_EQ(FEngine.GetFileDetails(), 1);
  EXPECT_EQ(FEngine.GetFileUpdates(), 0);
  FEngine.StopConnection();
  EXPECT_TRUE(FileExists(FEngine.WinTempDir() + "main.cab"));
  EXPECT_FALSE(FEngine.HasMessage(947));
  EXPECT_TRUE(FEngine.HasMessage(962));
}

TEST_F(RestartTest, TheHandoffStartsTheUpdaterWithTheCommandLineAndEndsTheApplication) {
  WriteFileText(DocumentsDir() + "/WUPDATE.INI", "[OTHER]\nKEEP=1\n");
  Application("appupdate=1\nappname=my app\nappcomps=app.exe lib.so\n");
  FEngine.IsApplicationComponent("app.exe");
  FEngine.Logging = true;
  FEngine.SetLogFileName("custom.log");
  FUi.MessageBoxAnswers.push_back(TMessageResult::mrYes);
  FEngine.DoRestart();

  EXPECT_EQ(FUi.CountCalls("MessageBox:Shutdown application to update executable files ?"), 1);
  EXPECT_EQ(FUi.Calls.back(), "Terminate");
  const TIniFile handoff(DocumentsDir() + "/WUPDATE.INI");
  EXPECT_EQ(handoff.ReadString("CONFIG", "LOGFILENAME", ""), "custom.log");
  EXPECT_EQ(handoff.ReadString("OTHER", "KEEP", ""), "1");
  const std::string staging = FEngine.WinTempDir();
  const std::string expected = std::to_string(getpid()) + " L \"" + FAppDir + "/my app\" \" \" \"" +
                               staging + "\" app.exe lib.so";
  EXPECT_EQ(FEngine.FindMessage(959)->Text, "Restart app in directory : " + FAppDir);
  EXPECT_EQ(FEngine.FindMessage(958)->Text, "Spawn " + expected);
  EXPECT_EQ(UpdaterArguments(),
            (std::vector<std::string>{std::to_string(getpid()), "L", FAppDir + "/my app", " ",
                                      staging, "app.exe", "lib.so", FAppDir}));
  EXPECT_FALSE(FileExists(staging + "dezaziz.ex_"));
  EXPECT_TRUE(FileExists(staging + "dezaziz.exe"));
}

TEST_F(RestartTest, CommandLineVariants) {
  struct TCase {
    const char* Name;
    std::string Keys;
    bool AutoRestart;
    bool UseWinTempDir;
    std::vector<std::string> Expected;  // after the process id and the mode; "@" = staging
  } cases[] = {
      {"no restart: null, parameters still follow", "appname=/opt/my app\nappparam=-x y\n", false,
       true, {"null", "-x y", "@"}},
      {"a complete path with parameters", "appname=/opt/app\nappparam=one\n", true, true,
       {"/opt/app", "one", "@"}},
      {"staging in the current folder", "appname=app\n", true, false, {"", " ", "."}},
      // Quotes and tabs from the control file cannot make words of their own.
      {"quotes stay inside their word", "appname=/opt/a\" \"/tmp/evil/\" \"x\nappparam=p\"q r\n",
       true, true, {"/opt/a /tmp/evil/ x", "pq r", "@"}},
      {"a tab stays inside its word", "appname=/opt/a\tb\nappparam=-x\ty\n", true, true,
       {"/opt/a\tb", "-x\ty", "@"}},
      {"parameters of quotes only are none", "appname=/opt/app\nappparam=\"\"\"\n", true, true,
       {"/opt/app", " ", "@"}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::remove((FAppDir + "/updater-args.txt").c_str());
    Application("appupdate=1\nsilentrestart=1\nappcomps=x.bin\n" + c.Keys);
    FEngine.AutoRestart = c.AutoRestart;
    FEngine.UseWinTempDir = c.UseWinTempDir;
    FEngine.IsApplicationComponent("x.bin");
    FEngine.DoRestart();
    std::vector<std::string> expected = {std::to_string(getpid()), "X"};
    for (const std::string& e : c.Expected)
      expected.push_back(e == "@" ? FEngine.WinTempDir() : e.empty() ? FAppDir + "/app" : e);
    expected.push_back("x.bin");
    expected.push_back(FAppDir);
    EXPECT_EQ(UpdaterArguments(), expected);
    EXPECT_EQ(FUi.CountCalls("MessageBox:"), 0);  // a silent restart asks nothing
  }
  // The parameters of two words were sent as one argument and stay quoted in the engine.
  Application("appupdate=1\nsilentrestart=1\nappname=app\nappparam=-x y\n");
  FEngine.IsApplicationComponent("");
  FEngine.DoRestart();
  EXPECT_NE(FEngine.FindMessage(958)->Text.find(" \"-x y\" "), std::string::npos);
}

TEST_F(RestartTest, TheStartCheckIsHandedOverOnlyWhenOn) {
  Application("appupdate=1\nsilentrestart=1\nappname=app\nappcomps=x.bin\n");
  FEngine.IsApplicationComponent("x.bin");
  const std::string handoff = DocumentsDir() + "/WUPDATE.INI";
  FEngine.StartCheck = 15;
  FEngine.DoRestart();
  EXPECT_EQ(TIniFile(handoff).ReadString("CONFIG", "STARTCHECK", ""), "15");
  // Off: a check left by a handoff that never ran goes too.
  FEngine.StartCheck = 0;
  FEngine.DoRestart();
  EXPECT_FALSE(TIniFile(handoff).ValueExists("CONFIG", "STARTCHECK"));
}

TEST_F(RestartTest, ADeclinedOrCancelledRestartChangesNothing) {
  Application("appupdate=1\nappname=app\nappcomps=app.exe\n");
  FEngine.IsApplicationComponent("app.exe");

  FUi.MessageBoxAnswers.push_back(TMessageResult::mrNo);
  FEngine.DoRestart();
  // A handler decides even for a silent restart, and a progress handler can cancel first.
  bool asked = false;
  FEngine.OnAppRestart = [&](TVudIvazoz&, bool& allow) {
    asked = true;
    allow = false;
  };
  FEngine.DoRestart();
  EXPECT_TRUE(asked);
  FEngine.OnProgressCancel = [](TVudIvazoz&, bool& cancel) { cancel = true; };
  asked = false;
  FEngine.DoRestart();
  EXPECT_FALSE(asked);
  EXPECT_TRUE(FEngine.HasMessage(964));

  EXPECT_FALSE(FEngine.HasMessage(958));
  EXPECT_FALSE(FileExists(FEngine.WinTempDir() + "dezaziz.exe"));
  EXPECT_FALSE(FileExists(DocumentsDir() + "/WUPDATE.INI"));
  EXPECT_EQ(FUi.CountCalls("Terminate"), 0);
  EXPECT_TRUE(FEngine.AppNeedsRestart());
}

TEST_F(RestartTest, WithoutAnUpdaterNothingIsHandedOver) {
  UnregisterResource("UPD");
  Application("appupdate=1\nsilentrestart=1\nappname=app\nappcomps=app.exe\n");
  FEngine.IsApplicationComponent("app.exe");
  bool closed = false;
  FEngine.OnAppDoClose = [&](TVudIvazoz&) { closed = true; };
  EXPECT_THROW(FEngine.DoRestart(), std::runtime_error);
  EXPECT_FALSE(closed);
  EXPECT_FALSE(FileExists(DocumentsDir() + "/WUPDATE.INI"));
}

TEST_F(RestartTest, TheFolderRightsAreThoseOfThisUser) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  constexpr uid_t KUser = 42001;
  // The user must reach the elevators through the test's own folders.
  for (std::filesystem::path p = TestRoot(); p.filename().string().rfind("vyn-test-", 0) == 0 ||
                                             p.filename() == "tmp";
       p = p.parent_path())
    chmod(p.c_str(), 0755);
  const std::string program = TestRoot() + "/elevator";
  WriteFileText(program, "#!/bin/sh\n");
  chmod(program.c_str(), 0755);
  const std::string plain = TestRoot() + "/plain";
  WriteFileText(plain, "");
  struct TCase {
    const char* Name;
    bool Owned;  // the application folder belongs to the user
    std::string Elevator;
    bool Writable;
    bool Elevates;
  } cases[] = {
      {"own folder", true, program, true, true},
      {"another's folder", false, program, false, true},
      {"missing elevator", false, TestRoot() + "/none", false, false},
      {"a folder is no elevator", false, TestRoot(), false, false},
      {"a file without exec bits", false, plain, false, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    chmod(plain.c_str(), 0644);
    ASSERT_EQ(chown(FAppDir.c_str(), c.Owned ? KUser : 0, c.Owned ? KUser : 0), 0);
    const int seen = test::RunAsUser(KUser, KUser, [&] {
      const TAppFolderRights rights = CheckAppFolderRights(c.Elevator);
      return (rights.Writable ? 1 : 0) | (rights.Elevator == c.Elevator ? 2 : 0) |
             (rights.Elevator.empty() ? 4 : 0);
    });
    EXPECT_EQ(seen, (c.Writable ? 1 : 0) | (c.Elevates ? 2 : 4));
  }
}

TEST_F(RestartTest, AFolderThisUserCannotWriteWithoutAnElevatorHandsNothingOver) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  constexpr uid_t KUser = 42001;
  Application("appupdate=1\nappname=app\nappcomps=app.exe\n");
  FEngine.IsApplicationComponent("app.exe");
  const std::string missing = TestRoot() + "/no-pkexec";
  FEngine.FolderRights = [missing] { return CheckAppFolderRights(missing); };
  bool closed = false;
  FEngine.OnAppDoClose = [&](TVudIvazoz&) { closed = true; };
  // The application folder belongs to root and is open to reading only.
  const int seen = test::RunAsUser(KUser, KUser, [&] {
    FEngine.DoRestart();
    const std::string expected =
        "MessageBox:Failed to spawn updater process : " + FAppDir +
        " cannot be written by this user, and /usr/bin/pkexec, which would ask for "
        "administrator rights, is missing";
    return (FUi.Calls == std::vector<std::string>{expected} ? 1 : 0) |
           (FEngine.FindMessage(950) ? 2 : 0) | (!FEngine.HasMessage(958) ? 4 : 0) |
           (!closed ? 8 : 0);
  });
  EXPECT_EQ(seen, 15);
  EXPECT_FALSE(FileExists(FEngine.WinTempDir() + "dezaziz.exe"));
  EXPECT_FALSE(FileExists(DocumentsDir() + "/WUPDATE.INI"));
}

TEST_F(RestartTest, AnElevatedUpdaterRunsInTheApplicationFolderWithThisUsersFolders) {
  // Like the real elevator: root's home folder and an environment of its own.
  const std::string elevator = TestRoot() + "/pkexec";
  WriteFileText(elevator, "#!/bin/sh\ncd / && exec /usr/bin/env -i \"$@\"\n");
  chmod(elevator.c_str(), 0755);
  // This updater also tells the folder variables it was given.
  const std::string script = TestRoot() + "/dezaziz.exe";
  WriteFileText(script, "#!/bin/sh\nprintf '%s\\n' \"$HOME\" \"$XDG_CONFIG_HOME\" \"$TMPDIR\" "
                        "> updater-args.txt\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done "
                        ">> updater-args.txt\npwd >> updater-args.txt\n");
  ASSERT_TRUE(test::MakeSzdd(script, TestRoot() + "/dezaziz.ex_", 'e'));
  FPacked = ReadFileText(TestRoot() + "/dezaziz.ex_");  // the resource table keeps a view
  RegisterResource("UPD", FPacked);
  FEngine.FolderRights = [elevator] { return TAppFolderRights{false, elevator}; };
  Application("appupdate=1\nsilentrestart=1\nappname=app\nappcomps=app.exe\n");
  FEngine.IsApplicationComponent("app.exe");
  bool closed = false;
  FEngine.OnAppDoClose = [&](TVudIvazoz&) { closed = true; };
  FEngine.DoRestart();

  EXPECT_TRUE(closed);
  EXPECT_EQ(UpdaterArguments(),
            (std::vector<std::string>{getenv("HOME"), getenv("XDG_CONFIG_HOME"), getenv("TMPDIR"),
                                      std::to_string(getpid()), "X", FAppDir + "/app", " ",
                                      FEngine.WinTempDir(), "app.exe", FAppDir}));
  EXPECT_TRUE(FileExists(DocumentsDir() + "/WUPDATE.INI"));
}

TEST_F(RestartTest, ARunWithAComponentHandsOverAtItsEnd) {
  test::TTestHttpServer server;
  server.Serve("/app.exe", "new program");
  server.Start();
  test::TTestHttpServer controlServer;
  controlServer.Serve("/u.inf", "[update]\nunconditional=1\n[application]\nappupdate=1\n"
                                "appname=app\nsilentrestart=1\nappcomps=app.exe\n[files]\ncount=1\n"
                                "[file1]\nurl=" + server.Url("/app.exe") + "\n");
  controlServer.Start();
  FEngine.URL = controlServer.Url("/u.inf");
  FEngine.UpdateUpdate = wuuSilent;
  bool closed = false;
  FEngine.OnAppDoClose = [&](TVudIvazoz&) { closed = true; };

  FEngine.DoThreadUpdate(false);
  ASSERT_TRUE(FUi.RunPosted(20000));
  EXPECT_TRUE(FEngine.HasMessage(961));
  EXPECT_TRUE(closed);
  EXPECT_EQ(ReadFileText(FEngine.WinTempDir() + "app.exe"), "new program");
  const std::vector<std::string> args = UpdaterArguments();
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(args[args.size() - 2], "app.exe");

  // Without a worker the run hands over itself.
  closed = false;
  FEngine.Messages.clear();
  FEngine.DoUpdate(false);
  EXPECT_TRUE(closed);
  EXPECT_FALSE(FEngine.HasMessage(961));
  EXPECT_TRUE(FEngine.HasMessage(958));
}

}  // namespace
}  // namespace vyn
