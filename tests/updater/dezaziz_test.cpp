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

#include "DezazizFixture.h"
#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "tests/archive/support/ArchiveFixtures.h"
#include "tools/szdd/SzddPack.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::Lines;
using test::ReadFileText;
using test::WriteFileText;
using TClock = std::chrono::steady_clock;

using DezazizTest = test::TDezazizFixture;

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
        "[FILES]\nCOUNT=2\nFILE1=one.txt_NEW\nTARGET1={APP}\\data\nFILE2=sub.inf\nTARGET2={XYZ}\n");
  Stage("sub.inf", "[FILES]\nCOUNT=1\nFILE1=two.txt_NEW\nTARGET1={app}\n");
  for (const char* name : {"one.txt_NEW", "two.txt_NEW"}) Stage(name, name);
  fs::create_directories(FApp + "/data");
  Apply({"zero.inf", "empty.inf", "list.inf"});

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
            }));
}

TEST_F(DezazizTest, AListEntryThatCannotBeAppliedEndsTheApply) {
  const std::string s = FStaging;
  Stage("three.txt_NEW", "three");
  Stage("unknown.inf", "[FILES]\nCOUNT=1\nFILE1=three.txt_NEW\nTARGET1={XYZ}\n");
  Stage("self.inf", "[FILES]\nCOUNT=2000000000\nFILE1=self.inf\n");
  const struct {
    std::string Component;
    std::vector<std::string> Messages;
  } cases[] = {
      {"unknown.inf",
       {"Upd inf file: " + s + "unknown.inf", "upd inf 1 : three.txt_NEW {XYZ}",
        "Upd copying file : " + s + "three.txt_NEW to {XYZ}/three.txt",
        "Upd copy error " + s + "three.txt_NEW to {XYZ}/three.txt",
        "Upd failed to apply unknown.inf, rolling back", "Upd update rolled back"}},
      {"SELF.INF",
       {"Upd inf file: " + s + "SELF.INF", "upd inf 1 : self.inf ", "Upd inf file: " + s + "self.inf",
        "Upd refused component : self.inf", "Upd failed to apply SELF.INF, rolling back",
        "Upd update rolled back"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyLogged({c.Component}), c.Messages) << c.Component;
}

TEST_F(DezazizTest, ACabinetIsExtractedIntoTheApplicationsFolder) {
  const std::string source = fs::canonical(test::TestRoot()).string() + "/cab";
  test::WriteTree(source, {{"a.txt", "alpha"}, {"sub/b.txt", test::SampleData(20000, 3)}},
                  1700000000);
  ASSERT_TRUE(test::MakeCabinet(FStaging + "main.cab", source, {"a.txt", "sub/b.txt"}, true));
  Stage("bad.cab", "not a cabinet");
  WriteFileText(FApp + "/a.txt", "old alpha");
  chmod((FApp + "/a.txt").c_str(), 0640);
  EXPECT_EQ(ApplyLogged({"MAIN.CAB"}),
            (std::vector<std::string>{"Upd cab extract MAIN.CAB " + FApp + "/"}));

  EXPECT_EQ(ReadFileText(FApp + "/a.txt"), "alpha");
  EXPECT_EQ(Mode(FApp + "/a.txt"), 0640u);
  EXPECT_EQ(ReadFileText(FApp + "/sub/b.txt"), test::SampleData(20000, 3));
  EXPECT_EQ(test::Facts(FApp + "/sub/b.txt").LastWrite, 1700000000);
  EXPECT_FALSE(FileExists(FStaging + "main.cab"));
  EXPECT_EQ(test::Listing(FStaging), (std::vector<std::string>{"bad.cab", "dezaziz.exe"}));

  EXPECT_EQ(ApplyLogged({"bad.cab"}),
            (std::vector<std::string>{"Upd cab extract bad.cab " + FApp + "/",
                                      "Upd cabextract failed",
                                      "Upd failed to apply bad.cab, rolling back",
                                      "Upd update rolled back"}));
  EXPECT_TRUE(FileExists(FStaging + "bad.cab"));
  EXPECT_EQ(ReadFileText(FApp + "/a.txt"), "alpha");
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
  Apply({"vyn.pat"}, "X");
  Apply({"new.pat"}, "X");  // nothing to patch: an apply that fails
  setenv("PATH", path.c_str(), 1);

  EXPECT_FALSE(FileExists(FApp + "/planted-ran"));
  // The tool patches a copy, which then takes the file's place.
  EXPECT_EQ(Lines(ReadFileText(FApp + "/patcher-args.txt")),
            (std::vector<std::string>{"-v", FStaging + "app.pat", FApp + "/App.exe.dezaziz-new",
                                      FStaging + "vyn.pat", FApp + "/vyn.dezaziz-new"}));
  for (const char* name : {"app.pat", "vyn.pat"})
    EXPECT_FALSE(FileExists(FStaging + name)) << name;
  EXPECT_TRUE(FileExists(FStaging + "new.pat"));
  EXPECT_FALSE(FileExists(FApp + "/new.exe"));
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
  const auto refused = [](const std::string& name, const std::string& component) {
    return std::vector<std::string>{"Upd refused component : " + name,
                                    "Upd failed to apply " + component + ", rolling back",
                                    "Upd update rolled back"};
  };
  const struct {
    std::string Component;
    std::vector<std::string> Messages;
  } cases[] = {
      {"../out.txt_NEW", refused("../out.txt_NEW", "../out.txt_NEW")},
      {"..\\out.txt_NEW", refused("../out.txt_NEW", "../out.txt_NEW")},
      {root + "/out.txt_NEW", refused(root + "/out.txt_NEW", root + "/out.txt_NEW")},
      {"", refused("", "")},
      {"_NEW", refused("_NEW", "_NEW")},
      {"link.txt_NEW", refused("link.txt_NEW", "link.txt_NEW")},
      {"x;touch pwned.exe", {"Upd execute x;touch pwned.exe " + FApp + "/"}},
  };
  for (const auto& c : cases) EXPECT_EQ(ApplyLogged({c.Component}), c.Messages) << c.Component;
  std::vector<std::string> list = {"Upd inf file: " + FStaging + "list.inf",
                                   "upd inf 1 : ..\\out.txt_NEW "};
  for (const std::string& line : refused("../out.txt_NEW", "list.inf")) list.push_back(line);
  EXPECT_EQ(ApplyLogged({"list.inf"}), list);

  EXPECT_FALSE(FileExists(root + "/out.txt"));
  EXPECT_FALSE(FileExists(FApp + "/out.txt"));
  EXPECT_FALSE(FileExists(FApp + "/link.txt"));
  EXPECT_FALSE(FileExists(FApp + "/pwned"));
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
