// vynupdate as scripts use it: exit status, last line, messages on standard error.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "TestFtpServer.h"
#include "TestHttpServer.h"
#include "VynupdateProcess.h"
#include "platform/Folders.h"

extern char** environ;

namespace vyn {
namespace {

using test::RunVynupdate;
using test::TRun;

std::string WriteControlFile(const std::string& name, const std::string& text) {
  const std::string path = test::TestRoot() + "/srv/" + name;
  ForceDirectories(test::TestRoot() + "/srv");
  test::WriteFileText(path, text);
  return path;
}

TEST(VynupdateTest, HelpAndBadCommandLines) {
  const TRun help = RunVynupdate({"--help"});
  EXPECT_EQ(help.Exit, 0);
  EXPECT_NE(help.Out.find("Usage: vynupdate check ADDRESS"), std::string::npos);
  EXPECT_NE(help.Out.find("--signature-check"), std::string::npos);
  EXPECT_NE(help.Out.find("vynupdate run ADDRESS"), std::string::npos);
  EXPECT_NE(help.Out.find("--no-win-temp-dir"), std::string::npos);
  EXPECT_NE(help.Out.find("vynupdate make-patch OLD NEW PATCH"), std::string::npos);

  const std::vector<std::vector<std::string>> bad = {
      {},
      {"check"},
      {"fetch", "x"},
      {"check", "a", "b"},
      {"check", "x", "--bogus"},
      {"check", "x", "--type", "gopher"},
      {"check", "x", "--port", "0"},
      {"check", "x", "--port", "70000"},
      {"check", "x", "--timeout", "-5"},
      {"check", "x", "--auth", "sometimes"},
      {"check", "x", "--version-check", "never"},
      {"check", "x", "--date-separator", "ab"},
      {"check", "x", "--log"},
      {"run"},
      {"news", "a", "b"},
      {"run", "x", "--prompt", "sometimes"},
      {"run", "x", "--app-dir", "/nowhere/at/all"},
      {"run", "x", "--temp-dir", ""},
      {"make-patch", "old", "new"},
      {"make-patch", "old", "new", "patch", "more"},
  };
  for (const auto& args : bad) {
    const TRun run = RunVynupdate(args);
    EXPECT_EQ(run.Exit, 2) << (args.empty() ? "" : args.back());
    EXPECT_NE(run.Err.find("vynupdate: "), std::string::npos);
    EXPECT_EQ(run.Out, "");
  }
}

TEST(VynupdateTest, LocalControlFiles) {
  struct TCase {
    std::string Text;
    std::vector<std::string> Options;
    int Exit;
    std::string Last;
  } cases[] = {
      {"[update]\nunconditional=1\n", {}, 0, "8 wrUnconditional"},
      {"[update]\ndescr=nothing\n", {}, 1, "7 wrNoNewVersion"},
      {"[update]\ndate=2999-01-31\n", {"--date-format", "yyyy-mm-dd", "--date-separator", "-"}, 0,
       "6 wrNewByDate"},
      {"[update]\nsignature=Other\nunconditional=1\n", {"--signature-check"}, 2,
       "5 wrBadSignature"},
      {"[update]\nsignature=Other\nunconditional=1\n", {"--signature", "Other", "--signature-check"},
       0, "8 wrUnconditional"},
      {"[update]\nlocalversion=/nowhere\nnewsize=5\n", {"--version-check", "always"}, 0,
       "9 wrNewBySize"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"check", WriteControlFile("u.inf", c.Text)};
    args.insert(args.end(), c.Options.begin(), c.Options.end());
    const TRun run = RunVynupdate(args);
    EXPECT_EQ(run.Exit, c.Exit) << c.Text << run.Err;
    EXPECT_EQ(run.LastLine(), c.Last) << c.Text;
  }
}

TEST(VynupdateTest, MissingControlFile) {
  const TRun run = RunVynupdate({"check", test::TestRoot() + "/nothing.inf", "--log", "bare.log"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.LastLine(), "4 wrNoControlFile");
  EXPECT_NE(run.Err.find("[925] Update control file not found (2, 0)\n"), std::string::npos);
  // A bare log name lies in the current folder.
  EXPECT_NE(test::ReadFileText(test::TestRoot() + "/bare.log").find("[925]"), std::string::npos);
}

TEST(VynupdateTest, HttpCheckWithLogAndMaskedPassword) {
  test::TTestHttpServer server;
  server.ServeWithBasicAuth("/files/app.INF", "[update]\ndate=01/01/2999\n", "u", "topsecret");
  server.Start();
  const std::string address = server.Url("/files/app.INF");
  const std::string withUser = "http://u:topsecret@" + address.substr(7);
  const std::string log = test::TestRoot() + "/logs/vynupdate.log";

  const TRun run = RunVynupdate({"check", withUser, "--user", "u", "--password", "topsecret", "--log", log,
                        "--timeout", "5000"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.LastLine(), "6 wrNewByDate");
  EXPECT_NE(run.Err.find("[918] Checking for Internet connection (3, 0)\n"), std::string::npos);
  EXPECT_NE(run.Err.find("[929] New version found : 01/01/2999 (5, 0)\n"), std::string::npos);
  EXPECT_NE(run.Err.find("u:***@"), std::string::npos);
  EXPECT_EQ(run.Err.find("topsecret"), std::string::npos);
  const std::string logText = test::ReadFileText(log);
  EXPECT_NE(logText.find("[926] Update control file found (Status:3) (Error:0)"), std::string::npos);
  EXPECT_EQ(logText.find("topsecret"), std::string::npos);

  const TRun refused = RunVynupdate({"check", address});
  EXPECT_EQ(refused.Exit, 2);
  EXPECT_EQ(refused.LastLine(), "4 wrNoControlFile");
  EXPECT_NE(refused.Err.find("[916] Http status : 401 (6, 401)"), std::string::npos);
}

// Certificates are verified unless the check is switched off.
TEST(VynupdateTest, HttpsCertificates) {
  test::TTestHttpServer server(true);
  server.Serve("/app.inf", "[update]\nunconditional=1\n");
  server.Start();
  const std::string address = server.Url("/app.inf");

  const TRun trusted = RunVynupdate({"check", address}, server.CertificateFile());
  EXPECT_EQ(trusted.Exit, 0) << trusted.Err;
  EXPECT_EQ(trusted.LastLine(), "8 wrUnconditional");

  const TRun untrusted = RunVynupdate({"check", address});
  EXPECT_EQ(untrusted.Exit, 2);
  EXPECT_EQ(untrusted.LastLine(), "4 wrNoControlFile");

  const TRun unchecked = RunVynupdate({"check", address, "--no-cert-check"});
  EXPECT_EQ(unchecked.Exit, 0) << unchecked.Err;
  EXPECT_EQ(unchecked.LastLine(), "8 wrUnconditional");
}

TEST(VynupdateTest, NoServerListening) {
  int port;
  {
    test::TTestHttpServer server;
    server.Start();
    port = server.Port();
  }
  const TRun run =
      RunVynupdate({"check", "http://127.0.0.1:" + std::to_string(port) + "/x.inf", "--timeout", "2000"});
  EXPECT_EQ(run.Exit, 2);
  EXPECT_EQ(run.LastLine(), "4 wrNoControlFile");
  EXPECT_NE(run.Err.find("[917] File not found"), std::string::npos);
}

TEST(VynupdateTest, FtpAddressGivesHostPortAndDirectory) {
  const std::string root = test::TestRoot() + "/ftproot";
  ForceDirectories(root + "/pub/updates");
  test::WriteFileText(root + "/pub/updates/app.inf", "[update]\nunconditional=1\n");
  test::TTestFtpServer ftp(root, "user", "pw");
  const std::string address =
      "ftp://127.0.0.1:" + std::to_string(ftp.Port()) + "/pub/updates/app.inf";

  const TRun run = RunVynupdate({"check", address, "--user", "user", "--password", "pw", "--passive"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.LastLine(), "8 wrUnconditional");
  EXPECT_NE(run.Err.find("[923] Connect to host : 127.0.0.1 (3, 0)"), std::string::npos);
  EXPECT_NE(run.Err.find("[974] Change FTP directory to : pub/updates (3, 0)"), std::string::npos);

  const TRun wrongPassword = RunVynupdate({"check", address, "--user", "user", "--password", "nope"});
  EXPECT_EQ(wrongPassword.Exit, 2);
  EXPECT_EQ(wrongPassword.LastLine(), "2 wrCannotOpen");
}

// Starts vynupdate in the background with its output in files of the test folder.
pid_t StartVynupdate(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {VYN_VYNUPDATE_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> pointers;
  for (auto& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  const std::string out = test::TestRoot() + "/out.txt";
  const std::string err = test::TestRoot() + "/err.txt";
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  pid_t pid = -1;
  if (posix_spawn(&pid, VYN_VYNUPDATE_PATH, &actions, nullptr, pointers.data(), environ) != 0)
    pid = -1;
  posix_spawn_file_actions_destroy(&actions);
  return pid;
}

int CountFiles(const std::string& folder) {
  std::error_code ec;
  int n = 0;
  for (auto it = std::filesystem::directory_iterator(folder, ec);
       !ec && it != std::filesystem::directory_iterator(); ++it)
    ++n;
  return n;
}

TEST(VynupdateTest, EndedBySignalItLeavesNoTemporaryFile) {
  using namespace std::chrono_literals;
  test::TIsolatedEnvironment environment;
  static std::atomic<bool> release;
  release = false;
  test::TTestHttpServer server;
  server.Server().Get("/slow.inf", [](const httplib::Request&, httplib::Response& res) {
    res.set_content_provider(1 << 20, "text/plain", [](size_t, size_t, httplib::DataSink& sink) {
      std::this_thread::sleep_for(20ms);
      return !release && sink.write(std::string(4096, ';').data(), 4096);
    });
  });
  server.Start();
  const std::string staging =
      test::TestRoot() + "/tmp/vynupdate-" + std::to_string(geteuid());
  for (const int signal : {SIGTERM, SIGINT}) {
    SCOPED_TRACE(signal);
    const pid_t pid = StartVynupdate({"check", server.Url("/slow.inf")});
    ASSERT_GT(pid, 0);
    const auto deadline = std::chrono::steady_clock::now() + 20s;
    while (CountFiles(staging) == 0 && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(10ms);
    EXPECT_EQ(CountFiles(staging), 1);  // the download's temporary file
    kill(pid, signal);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(CountFiles(staging), 0);
    EXPECT_NE(test::ReadFileText(test::TestRoot() + "/err.txt").find("[964]"), std::string::npos);
  }
  release = true;
}

// A release served over HTTP for "run" and "news": its control file is built per case.
class VynupdateRunTest : public ::testing::Test {
protected:
  void SetUp() override {
    FServer.Serve("/a.bin", "first file");
    FServer.Serve("/news.txt", "Nouveau : plus rapide\r\n");
    FServer.Serve("/licence.txt", "Licence text");
    FServer.Serve("/news.rtf",
                  "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}{\\b Nouveaut\\'e9s}\\par "
                  "Plus \\u8364? rapide}");
    FServer.Server().Get("/u.inf", [this](const httplib::Request&, httplib::Response& res) {
      res.set_content(FControl, "text/plain");
    });
    FServer.Start();
    FAppDir = test::TestRoot() + "/app";
    ForceDirectories(FAppDir);
  }
  TRun Run(const std::string& rest, std::vector<std::string> options) {
    FControl = "[update]\nunconditional=1\n" + rest;
    std::vector<std::string> args = {"run", FServer.Url("/u.inf"), "--app-dir", FAppDir};
    args.insert(args.end(), options.begin(), options.end());
    return RunVynupdate(args);
  }
  std::string OneFile() const {
    return "[files]\ncount=1\n[file1]\nurl=" + FServer.Url("/a.bin") + "\ntargetdir={APP}\\sub\n";
  }

  test::TIsolatedEnvironment FEnvironment;
  test::TTestHttpServer FServer;
  std::string FControl;
  std::string FAppDir;
};

TEST_F(VynupdateRunTest, ARunPrintsItsDialogsAndFetchesIntoTheApplicationFolder) {
  for (const bool threaded : {false, true}) {
    SCOPED_TRACE(threaded);
    std::filesystem::remove_all(FAppDir + "/sub");
    std::vector<std::string> options = {"--yes"};
    if (threaded) options.push_back("--thread");
    const TRun run = Run("[action]\nmsg=Bonjour\\nmonde\n[whatsnew]\nfile=" +
                             FServer.Url("/news.txt") + "\n[eula]\nfile=" +
                             FServer.Url("/licence.txt") + "\n" + OneFile(),
                         options);
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_NE(run.Out.find("Bonjour\nmonde\n"), std::string::npos) << run.Out;
    EXPECT_NE(run.Out.find("== What's new ==\nNouveau : plus rapide"), std::string::npos);
    EXPECT_NE(run.Out.find("Licence text"), std::string::npos);
    EXPECT_EQ(test::ReadFileText(FAppDir + "/sub/a.bin"), "first file");
    EXPECT_NE(run.Err.find("[948] Finished processing update control file"), std::string::npos);
    EXPECT_EQ(run.Err.find("[960]") != std::string::npos, threaded);
  }
}

TEST_F(VynupdateRunTest, AnswersAndExitStatus) {
  const std::string query = "[action]\nquery=Continuer ?\n" + OneFile();
  struct TCase {
    const char* Name;
    std::string Rest;
    std::vector<std::string> Options;
    int Exit;
    bool Fetched;
  } cases[] = {
      {"query answered no", query, {"--no"}, 1, false},
      // No terminal on standard input and neither option: the question is refused.
      {"query without a terminal", query, {}, 1, false},
      {"query answered yes", query, {"--yes"}, 0, true},
      {"licence refused", "[eula]\nfile=" + FServer.Url("/licence.txt") + "\n" + OneFile(), {"--no"},
       1, false},
      {"once-only download question refused", OneFile(), {"--prompt", "once", "--no"}, 0, false},
      {"a failed download", "[files]\ncount=1\n[file1]\nurl=" + FServer.Url("/gone.bin") + "\n",
       {"--yes"}, 2, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::filesystem::remove_all(FAppDir + "/sub");
    const TRun run = Run(c.Rest, c.Options);
    EXPECT_EQ(run.Exit, c.Exit) << run.Err;
    EXPECT_EQ(FileExists(FAppDir + "/sub/a.bin"), c.Fetched);
  }

  // Nothing newer, and no control file at all.
  const std::string current = FAppDir + "/current.exe";
  test::WriteFileText(current, "installed");
  FControl = "[update]\ndate=01/01/2000\nlocalversion=" + current + "\n" + OneFile();
  EXPECT_EQ(RunVynupdate({"run", FServer.Url("/u.inf"), "--yes"}).Exit, 1);
  EXPECT_EQ(RunVynupdate({"run", FServer.Url("/none.inf"), "--yes"}).Exit, 2);
}

TEST_F(VynupdateRunTest, ARunWithComponentsHandsOverToTheUpdaterWhichRestartsTheNewVersion) {
  using namespace std::chrono_literals;
  // The program's new version records that it ran, and how.
  test::TTestHttpServer server;
  server.Serve("/restarted.sh_NEW", "#!/bin/sh\nprintf 'new:%s|' \"$@\" > restarted.txt\n");
  server.Serve("/app.bin_NEW", "new data");
  server.Server().Get("/u.inf", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content("[update]\nunconditional=1\n[application]\nappupdate=1\n"
                    "appname={APP}\\restarted.sh\nappparam=two words\n"
                    "appcomps=restarted.sh_NEW app.bin_NEW\n[files]\ncount=2\n[file1]\nurl=" +
                        server.Url("/restarted.sh_NEW") + "\n[file2]\nurl=" +
                        server.Url("/app.bin_NEW") + "\n",
                    "text/plain");
  });
  server.Start();
  test::WriteFileText(FAppDir + "/app.bin", "old data");
  const std::string program = FAppDir + "/restarted.sh";
  test::WriteFileText(program, "#!/bin/sh\nprintf 'old:%s|' \"$@\" > restarted.txt\n");
  chmod(program.c_str(), 0755);

  const TRun run =
      RunVynupdate({"run", server.Url("/u.inf"), "--app-dir", FAppDir, "--yes", "--logging"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_NE(run.Out.find("Shutdown application to update executable files ?"), std::string::npos);
  EXPECT_NE(run.Err.find("[958] Spawn "), std::string::npos);
  // The updater waits for vynupdate to end, replaces both files and starts the new version.
  const auto deadline = std::chrono::steady_clock::now() + 30s;
  while (!FileExists(FAppDir + "/restarted.txt") && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(test::ReadFileText(FAppDir + "/restarted.txt"), "new:two words|");
  EXPECT_EQ(test::ReadFileText(FAppDir + "/app.bin"), "new data");
  struct stat st {};
  ASSERT_EQ(stat(program.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);  // the replaced program stays executable
  EXPECT_FALSE(FileExists(DocumentsDir() + "/WUPDATE.INI"));
  // The engine and the updater write one log.
  const std::string log = test::ReadFileText(DocumentsDir() + "/WUPDATE.LOG");
  EXPECT_NE(log.find("[958] Spawn "), std::string::npos);
  EXPECT_NE(log.find(" : [000] Upd copying file : "), std::string::npos);
  EXPECT_NE(log.find(" : [000] UPD has EXE restarted"), std::string::npos);
}

TEST_F(VynupdateRunTest, APatchComponentIsAppliedByTheUpdaterWithTheToolTheProgramCarries) {
  using namespace std::chrono_literals;
  std::string oldProgram(200000, 'a');
  for (size_t i = 0; i < oldProgram.size(); i += 97) oldProgram[i] = static_cast<char>('a' + i % 26);
  std::string newProgram = oldProgram;
  newProgram.replace(1000, 5, "fixed");
  const std::string work = test::TestRoot() + "/publisher/";
  ForceDirectories(work);
  test::WriteFileText(work + "old", oldProgram);
  test::WriteFileText(work + "new", newProgram);
  const TRun made = RunVynupdate({"make-patch", work + "old", work + "new", work + "app.PAT"});
  ASSERT_EQ(made.Exit, 0) << made.Err;
  EXPECT_NE(made.Out.find("old 200000 bytes, new 200000 bytes, patch "), std::string::npos);

  test::TTestHttpServer server;
  server.Serve("/app.PAT", test::ReadFileText(work + "app.PAT"));
  server.Server().Get("/u.inf", [&](const httplib::Request&, httplib::Response& res) {
    res.set_content("[update]\nunconditional=1\n[application]\nappupdate=1\nappname=null\n"
                    "appcomps=app.PAT\n[files]\ncount=1\n[file1]\nurl=" +
                        server.Url("/app.PAT") + "\n",
                    "text/plain");
  });
  server.Start();
  test::WriteFileText(FAppDir + "/app", oldProgram);
  chmod((FAppDir + "/app").c_str(), 0755);

  const TRun run =
      RunVynupdate({"run", server.Url("/u.inf"), "--app-dir", FAppDir, "--yes", "--apply-patch"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  const auto deadline = std::chrono::steady_clock::now() + 20s;
  while (test::ReadFileText(FAppDir + "/app") != newProgram &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  EXPECT_EQ(test::ReadFileText(FAppDir + "/app"), newProgram);
  struct stat st {};
  ASSERT_EQ(stat((FAppDir + "/app").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);
}

TEST_F(VynupdateRunTest, NewsPrintsTheTextOfANewerRelease) {
  FControl = "[update]\nunconditional=1\n[whatsnew]\nfile=" + FServer.Url("/news.txt") + "\n";
  const TRun news = RunVynupdate({"news", FServer.Url("/u.inf")});
  EXPECT_EQ(news.Exit, 0) << news.Err;
  EXPECT_EQ(news.Out, "Nouveau : plus rapide\n");

  FControl = "[update]\nunconditional=1\n";
  EXPECT_EQ(RunVynupdate({"news", FServer.Url("/u.inf")}).Exit, 1);
  EXPECT_EQ(RunVynupdate({"news", FServer.Url("/none.inf")}).Exit, 2);
}

TEST_F(VynupdateRunTest, RichTextIsPrintedAsItsText) {
  const std::string whatsNew = "[whatsnew]\nfile=" + FServer.Url("/news.rtf") + "\n";
  const TRun run = Run(whatsNew, {"--yes"});
  EXPECT_EQ(run.Exit, 1) << run.Err;  // nothing to fetch
  EXPECT_NE(run.Out.find("== What's new ==\nNouveautés\nPlus € rapide\n"), std::string::npos)
      << run.Out;
  EXPECT_EQ(run.Out.find("rtf"), std::string::npos) << run.Out;

  FControl = "[update]\nunconditional=1\n" + whatsNew;
  const TRun news = RunVynupdate({"news", FServer.Url("/u.inf")});
  EXPECT_EQ(news.Exit, 0) << news.Err;
  EXPECT_EQ(news.Out, "Nouveautés\nPlus € rapide\n");
}

}  // namespace
}  // namespace vyn
