// dezaziz.exe run as the engine starts it: from the staging folder, in the application's
// folder, with the documents folder and the log of the case's own.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "tests/archive/support/ArchiveFixtures.h"
#include "tools/szdd/SzddPack.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::WriteFileText;
using TClock = std::chrono::steady_clock;

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  return lines;
}

class DezazizTest : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string root = fs::canonical(test::TestRoot()).string();
    FApp = root + "/app";
    FStaging = root + "/staging/";
    fs::create_directories(FApp);
    ASSERT_EQ(mkdir(FStaging.c_str(), 0700), 0);
    fs::copy_file(VYN_DEZAZIZ_PATH, FStaging + "dezaziz.exe");
    FDocs = DocumentsDir();
  }

  // The pid of a process that has ended.
  static std::string EndedPid() {
    const TProcessResult done = StartProcess({"/bin/true"}, true);
    return std::to_string(done.Pid);
  }

  TProcessResult Start(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{FStaging + "dezaziz.exe"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return SpawnChild(argv, -1, FApp);
  }
  void Run(const std::vector<std::string>& arguments) {
    const TProcessResult started = Start(arguments);
    ASSERT_TRUE(started.Started);
    int exitCode = -1;
    ASSERT_TRUE(CollectChild(started.Pid, 60000, exitCode));
  }
  // Applies the components with the given logging flag and no restart.
  void Apply(const std::vector<std::string>& components, const std::string& logging = "L") {
    std::vector<std::string> arguments{EndedPid(), logging, "null", " ", FStaging};
    arguments.insert(arguments.end(), components.begin(), components.end());
    Run(arguments);
  }

  void Stage(const std::string& name, const std::string& data, mode_t mode = 0644) {
    WriteFileText(FStaging + name, data);
    chmod((FStaging + name).c_str(), mode);
  }

  // The messages of the log; every line must have the log's format.
  std::vector<std::string> LogMessages(const std::string& path = "") const {
    static const std::regex line(R"(^\d\d/\d\d/\d{4} \d\d:\d\d:\d\d : \[000\] (.*)\r$)");
    std::vector<std::string> messages;
    for (const std::string& text : Lines(ReadFileText(path.empty() ? Log() : path))) {
      std::smatch match;
      EXPECT_TRUE(std::regex_match(text, match, line)) << text;
      messages.push_back(match[1]);
    }
    return messages;
  }
  // The messages after the three start lines.
  std::vector<std::string> ComponentMessages() const {
    std::vector<std::string> messages = LogMessages();
    EXPECT_GE(messages.size(), 3u);
    messages.erase(messages.begin(), messages.begin() + std::min<size_t>(3, messages.size()));
    return messages;
  }
  std::string Log() const { return FDocs + "/WUPDATE.LOG"; }

  static mode_t Mode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  test::TIsolatedEnvironment FEnvironment;
  std::string FApp;      // the application's folder: the updater's current directory
  std::string FStaging;  // with its trailing '/'
  std::string FDocs;
};

TEST_F(DezazizTest, AnArgumentOneThatIsNoProcessIdEndsAtOnceTouchingNothing) {
  WriteFileText(FDocs + "/WUPDATE.INI", "[CONFIG]\nLOGFILENAME=WUPDATE.LOG\n");
  Stage("a.txt_NEW", "new");
  WriteFileText(FApp + "/restart.sh", "#!/bin/sh\ntouch restarted\n");
  chmod((FApp + "/restart.sh").c_str(), 0755);
  for (const char* bad : {"", "abc", "12x", "0", "-3", "99999999999999999999"}) {
    Run({bad, "L", FApp + "/restart.sh", " ", FStaging, "a.txt_NEW"});
    EXPECT_FALSE(FileExists(FApp + "/a.txt")) << bad;
  }
  Run({});
  EXPECT_TRUE(FileExists(FDocs + "/WUPDATE.INI"));
  EXPECT_FALSE(FileExists(Log()));
  EXPECT_FALSE(FileExists(FApp + "/restarted"));
}

TEST_F(DezazizTest, NothingIsAppliedWhileTheApplicationRuns) {
  Stage("a.txt_NEW", "new");
  const auto begin = TClock::now();
  const TProcessResult application = StartProcess({"sleep", "1"}, false);
  ASSERT_TRUE(application.Started);
  const TProcessResult updater =
      Start({std::to_string(application.Pid), "L", "null", " ", FStaging, "a.txt_NEW"});
  ASSERT_TRUE(updater.Started);
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  EXPECT_FALSE(FileExists(FApp + "/a.txt"));
  int exitCode = -1;
  ASSERT_TRUE(CollectChild(updater.Pid, 60000, exitCode));
  EXPECT_GE(TClock::now() - begin, std::chrono::milliseconds(1400));  // the wait and the pause
  EXPECT_EQ(ReadFileText(FApp + "/a.txt"), "new");
  const std::vector<std::string> messages = LogMessages();
  ASSERT_GE(messages.size(), 3u);
  EXPECT_TRUE(std::regex_match(
      messages[2], std::regex(R"(UPD waited from \d\d/\d\d/\d{4} \d\d:\d\d:\d\d:\d{3} to )"
                              R"(\d\d/\d\d/\d{4} \d\d:\d\d:\d\d:\d{3} for application close)")))
      << messages[2];
}

TEST_F(DezazizTest, TheHandoffFileNamesTheLogAndIsDeleted) {
  const std::string logs = fs::canonical(test::TestRoot()).string() + "/logs";
  fs::create_directories(logs);
  const struct {
    std::string Handoff, Log;
  } cases[] = {
      {"[CONFIG]\nLOGFILENAME=custom.log\n", FDocs + "/custom.log"},
      {"[CONFIG]\nLOGFILENAME=" + logs + "/u.log\n", logs + "/u.log"},
      {"", FDocs + "/WUPDATE.LOG"},
  };
  for (const auto& c : cases) {
    if (!c.Handoff.empty()) WriteFileText(FDocs + "/WUPDATE.INI", c.Handoff);
    WriteFileText(c.Log, "01/01/2024 10:00:00 : [000] earlier\r\n");
    Apply({});
    EXPECT_FALSE(FileExists(FDocs + "/WUPDATE.INI"));
    const std::vector<std::string> messages = LogMessages(c.Log);
    ASSERT_EQ(messages.size(), 4u) << c.Log;
    EXPECT_EQ(messages[0], "earlier");
    EXPECT_EQ(messages[1], "UPD v2.0.4.0 started");
    EXPECT_EQ(messages[2], "UPD current directory: " + FApp);
    EXPECT_EQ(messages[3].rfind("UPD waited from ", 0), 0u);
  }
}

TEST_F(DezazizTest, WithoutLoggingOnlyTheRestartLineIsWritten) {
  Stage("a.txt_NEW", "new");
  Apply({"a.txt_NEW"}, "X");
  EXPECT_EQ(ReadFileText(FApp + "/a.txt"), "new");
  EXPECT_FALSE(FileExists(Log()));  // no restart: not even the last line

  WriteFileText(FApp + "/restart.sh", "#!/bin/sh\ntouch restarted\n");
  chmod((FApp + "/restart.sh").c_str(), 0755);
  Run({EndedPid(), "l", FApp + "/restart.sh", " ", FStaging});
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"UPD has EXE restarted"}));
  for (int i = 0; i < 500 && !FileExists(FApp + "/restarted"); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(FileExists(FApp + "/restarted"));
}

TEST_F(DezazizTest, ASuffixedCopyReplacesTheFileKeepingItsPermissions) {
  Stage("report_new.txt_new", "new report");
  WriteFileText(FApp + "/report_new.txt", "old report");
  chmod((FApp + "/report_new.txt").c_str(), 0640);
  Stage("tool_NEW", "#!/bin/sh\necho new\n", 0600);
  WriteFileText(FApp + "/tool", "#!/bin/sh\necho old\n");
  chmod((FApp + "/tool").c_str(), 0750);
  Apply({"report_new.txt_NEW", "tool_NEW", "absent.txt_NEW"});

  EXPECT_EQ(ReadFileText(FApp + "/report_new.txt"), "new report");
  EXPECT_EQ(Mode(FApp + "/report_new.txt"), 0640u);
  EXPECT_EQ(ReadFileText(FApp + "/tool"), "#!/bin/sh\necho new\n");
  EXPECT_EQ(Mode(FApp + "/tool"), 0750u);
  EXPECT_TRUE(FileExists(FStaging + "report_new.txt_new"));  // nothing is deleted
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{
                "Upd copying file : " + FStaging + "report_new.txt_NEW to " + FApp + "/report_new.txt",
                "Upd copying file : " + FStaging + "tool_NEW to " + FApp + "/tool"}));
}

TEST_F(DezazizTest, AComponentListAppliesItsEntriesInTheirTargets) {
  Stage("zero.inf", "[FILES]\nCOUNT=0\nFILE1=one.txt_NEW\n");
  Stage("empty.inf", "[FILES]\n");
  Stage("list.inf",
        "[FILES]\nCOUNT=3\nFILE1=one.txt_NEW\nTARGET1={APP}\\data\nFILE2=sub.inf\nTARGET2={XYZ}\n"
        "FILE3=three.txt_NEW\nTARGET3={XYZ}\n");
  Stage("sub.inf", "[FILES]\nCOUNT=1\nFILE1=two.txt_NEW\nTARGET1={app}\n");
  Stage("self.inf", "[FILES]\nCOUNT=2000000000\nFILE1=self.inf\n");
  for (const char* name : {"one.txt_NEW", "two.txt_NEW", "three.txt_NEW"}) Stage(name, name);
  fs::create_directories(FApp + "/data");
  Apply({"zero.inf", "empty.inf", "list.inf", "SELF.INF"});

  EXPECT_EQ(ReadFileText(FApp + "/data/one.txt"), "one.txt_NEW");
  EXPECT_EQ(ReadFileText(FApp + "/two.txt"), "two.txt_NEW");
  EXPECT_FALSE(FileExists(FApp + "/one.txt"));
  const std::string s = FStaging;
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{
                "Upd inf file: " + s + "zero.inf",
                "Upd inf file: " + s + "empty.inf",
                "Upd inf file: " + s + "list.inf",
                "upd inf 1 : one.txt_NEW {APP}\\data",
                "Upd copying file : " + s + "one.txt_NEW to " + FApp + "/data/one.txt",
                "upd inf 2 : sub.inf {XYZ}",
                "Upd inf file: " + s + "sub.inf",
                "upd inf 1 : two.txt_NEW {app}",
                "Upd copying file : " + s + "two.txt_NEW to " + FApp + "/two.txt",
                "upd inf 3 : three.txt_NEW {XYZ}",
                "Upd copying file : " + s + "three.txt_NEW to {XYZ}/three.txt",
                "Upd copy error " + s + "three.txt_NEW to {XYZ}/three.txt",
                "Upd inf file: " + s + "SELF.INF",
                "upd inf 1 : self.inf ",
                "Upd inf file: " + s + "self.inf",
                "Upd refused component : self.inf",
            }));
}

TEST_F(DezazizTest, ACabinetIsExtractedIntoTheApplicationsFolder) {
  const std::string source = fs::canonical(test::TestRoot()).string() + "/cab";
  test::WriteTree(source, {{"a.txt", "alpha"}, {"b.txt", test::SampleData(20000, 3)}}, 0);
  ASSERT_TRUE(test::MakeCabinet(FStaging + "main.cab", source, {"a.txt", "b.txt"}, true));
  Stage("bad.cab", "not a cabinet");
  Apply({"MAIN.CAB", "bad.cab"});

  EXPECT_EQ(ReadFileText(FApp + "/a.txt"), "alpha");
  EXPECT_EQ(ReadFileText(FApp + "/b.txt"), test::SampleData(20000, 3));
  EXPECT_FALSE(FileExists(FStaging + "main.cab"));
  EXPECT_TRUE(FileExists(FStaging + "bad.cab"));
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{"Upd cab extract MAIN.CAB " + FApp + "/",
                                      "Upd cab extract bad.cab " + FApp + "/",
                                      "Upd cabextract failed"}));
}

TEST_F(DezazizTest, AnLZFileFromTheStagingFolderReplacesARunnableProgram) {
  const std::string fresh = fs::canonical(test::TestRoot()).string() + "/prog.exe";
  WriteFileText(fresh, "#!/bin/sh\necho new\n");
  ASSERT_TRUE(test::MakeSzdd(fresh, FStaging + "prog.ex_", 'e'));
  WriteFileText(FApp + "/prog.exe", "#!/bin/sh\necho old\n");
  chmod((FApp + "/prog.exe").c_str(), 0750);
  Stage("plain.dat", "not compressed");
  Apply({"prog.ex_", "plain.dat"});

  EXPECT_EQ(ReadFileText(FApp + "/prog.exe"), "#!/bin/sh\necho new\n");
  EXPECT_EQ(Mode(FApp + "/prog.exe"), 0750u);
  EXPECT_FALSE(FileExists(FStaging + "prog.exe"));
  EXPECT_FALSE(FileExists(FApp + "/plain.dat"));
  EXPECT_EQ(ReadFileText(FStaging + "plain.dat"), "not compressed");
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{"Upd lzexpand prog.ex_ " + FApp + "/",
                                      "Upd lzexpand dest. filename prog.exe",
                                      "Upd lzexpand plain.dat " + FApp + "/"}));
}

TEST_F(DezazizTest, AProgramToRunRunsInTheApplicationsFolderAndGoes) {
  Stage("setup.exe", "#!/bin/sh\npwd > ran.txt\n", 0755);
  Apply({"setup.exe"});
  EXPECT_EQ(ReadFileText(FApp + "/ran.txt"), FApp + "\n");
  EXPECT_FALSE(FileExists(FStaging + "setup.exe"));
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{"Upd execute setup.exe " + FApp + "/"}));
}

TEST_F(DezazizTest, APatchRunsThePatcherBesideTheUpdaterNeverOneFromPath) {
  Stage("patcher.exe",
        "#!/bin/sh\nprintf '%s\\n' \"$@\" >> patcher-args.txt\necho patch output\n", 0755);
  const std::string planted = fs::canonical(test::TestRoot()).string() + "/bin";
  fs::create_directories(planted);
  WriteFileText(planted + "/patcher.exe", "#!/bin/sh\ntouch \"$PWD/planted-ran\"\n");
  chmod((planted + "/patcher.exe").c_str(), 0755);
  const std::string path = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (planted + ":" + path).c_str(), 1);

  WriteFileText(FApp + "/App.exe", "old");
  WriteFileText(FApp + "/vyn", "old");
  for (const char* name : {"app.pat", "vyn.pat", "new.pat"}) Stage(name, "delta");
  Apply({"app.pat"});
  Apply({"vyn.pat", "new.pat"}, "X");
  setenv("PATH", path.c_str(), 1);

  EXPECT_FALSE(FileExists(FApp + "/planted-ran"));
  EXPECT_EQ(Lines(ReadFileText(FApp + "/patcher-args.txt")),
            (std::vector<std::string>{"-v", FStaging + "app.pat", FApp + "/App.exe",
                                      FStaging + "vyn.pat", FApp + "/vyn",
                                      FStaging + "new.pat", FApp + "/new.exe"}));
  for (const char* name : {"app.pat", "vyn.pat", "new.pat"})
    EXPECT_FALSE(FileExists(FStaging + name)) << name;
  // The tool's output goes to the log instead of words on its command line.
  const std::string log = ReadFileText(Log());
  EXPECT_NE(log.find("\r\npatch output\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("WUPDATELOG"), std::string::npos);
}

TEST_F(DezazizTest, TheRestartPassesTheParametersAsOneArgumentWithoutAShell) {
  WriteFileText(FApp + "/restart.sh",
                "#!/bin/sh\nprintf '%s\\n' \"$#\" \"$@\" > args.tmp\nmv args.tmp restart-args.txt\n"
                "sleep 5\n");
  chmod((FApp + "/restart.sh").c_str(), 0755);
  const struct {
    std::string Parameters;
    std::vector<std::string> Received;
  } cases[] = {
      {" ", {"0"}},
      {"two words; touch pwned", {"1", "two words; touch pwned"}},
  };
  for (const auto& c : cases) {
    fs::remove(FApp + "/restart-args.txt");
    fs::remove(Log());
    const auto begin = TClock::now();
    Run({EndedPid(), "L", FApp + "/restart.sh", c.Parameters, FStaging});
    EXPECT_LT(TClock::now() - begin, std::chrono::seconds(4));  // not waited for
    std::string received;
    for (int i = 0; i < 500 && (received = ReadFileText(FApp + "/restart-args.txt")).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(Lines(received), c.Received);
    EXPECT_EQ(ComponentMessages(),
              (std::vector<std::string>{"UPD restart " + FApp + "/restart.sh " + c.Parameters,
                                        "UPD has EXE restarted"}));
  }
  EXPECT_FALSE(FileExists(FApp + "/pwned"));
}

TEST_F(DezazizTest, NamesOutsideTheStagingFolderAndLinksAreRefused) {
  const std::string root = fs::canonical(test::TestRoot()).string();
  WriteFileText(root + "/out.txt_NEW", "escaped");
  WriteFileText(root + "/secret", "secret");
  ASSERT_EQ(symlink((root + "/secret").c_str(), (FStaging + "link.txt_NEW").c_str()), 0);
  Stage("list.inf", "[FILES]\nCOUNT=2\nFILE1=..\\out.txt_NEW\nFILE2=" + root + "/out.txt_NEW\n");
  Apply({"../out.txt_NEW", "..\\out.txt_NEW", root + "/out.txt_NEW", "", "_NEW", "link.txt_NEW",
         "x;touch pwned.exe", "list.inf"});

  EXPECT_FALSE(FileExists(root + "/out.txt"));
  EXPECT_FALSE(FileExists(FApp + "/out.txt"));
  EXPECT_FALSE(FileExists(FApp + "/link.txt"));
  EXPECT_FALSE(FileExists(FApp + "/pwned"));
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{
                "Upd refused component : ../out.txt_NEW",
                "Upd refused component : ../out.txt_NEW",
                "Upd refused component : " + root + "/out.txt_NEW",
                "Upd refused component : ",
                "Upd refused component : _NEW",
                "Upd refused component : link.txt_NEW",
                "Upd execute x;touch pwned.exe " + FApp + "/",
                "Upd inf file: " + FStaging + "list.inf",
                "upd inf 1 : ..\\out.txt_NEW ",
                "Upd refused component : ../out.txt_NEW",
                "upd inf 2 : " + root + "/out.txt_NEW ",
                "Upd refused component : " + root + "/out.txt_NEW",
            }));
}

TEST_F(DezazizTest, AStagingFolderOthersCanWriteIsNotUsed) {
  Stage("a.txt_NEW", "new");
  chmod(FStaging.c_str(), 0777);
  Apply({"a.txt_NEW"});
  EXPECT_FALSE(FileExists(FApp + "/a.txt"));
  EXPECT_EQ(ComponentMessages(),
            (std::vector<std::string>{"Upd refused staging folder : " + FStaging}));
}

TEST_F(DezazizTest, KilledWhileApplyingItLeavesEveryFileWholeOldOrWholeNew) {
  // Big enough that a kill lands inside a copy, an expansion or an extraction now and then.
  const std::string oldData(4 << 20, 'o');
  const std::string newData = test::SampleData(4 << 20, 7);
  const std::string work = fs::canonical(test::TestRoot()).string() + "/work/";
  fs::create_directories(work);
  WriteFileText(work + "b.da_", PackSzdd(newData, 't'));
  WriteFileText(work + "c.dat", newData);
  ASSERT_TRUE(test::MakeCabinet(work + "c.cab", work, {"c.dat"}, true));
  const std::vector<std::string> names = {"a.dat", "b.dat", "c.dat"};

  std::srand(12345);
  for (int round = 0; round < 8; ++round) {
    SCOPED_TRACE(round);
    for (const std::string& name : names) WriteFileText(FApp + "/" + name, oldData);
    Stage("a.dat_NEW", newData);
    fs::copy_file(work + "b.da_", FStaging + "b.da_", fs::copy_options::overwrite_existing);
    fs::copy_file(work + "c.cab", FStaging + "c.cab", fs::copy_options::overwrite_existing);
    const TProcessResult started =
        Start({EndedPid(), "X", "null", " ", FStaging, "a.dat_NEW", "b.da_", "c.cab"});
    ASSERT_TRUE(started.Started);
    // The updater pauses half a second before it applies anything.
    std::this_thread::sleep_for(std::chrono::milliseconds(450 + std::rand() % 400));
    kill(started.Pid, SIGKILL);
    int exitCode = 0;
    ASSERT_TRUE(CollectChild(started.Pid, 60000, exitCode));
    for (const std::string& name : names) {
      const std::string data = ReadFileText(FApp + "/" + name);
      EXPECT_TRUE(data == oldData || data == newData) << name << " holds " << data.size();
    }
  }
}

}  // namespace
}  // namespace vyn
