// All or nothing: dezaziz.exe killed at random moments, a component that cannot be written,
// a new version that does not start, and --recover, all with the real program.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "DezazizFixture.h"
#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/Process.h"
#include "tests/archive/support/ArchiveFixtures.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::AwaitFileText;
using test::ReadFileText;
using test::WriteFileText;
using TClock = std::chrono::steady_clock;
using TTree = std::map<std::string, std::string>;  // relative path -> contents ("/" = folder)

// Every entry below `folder`, links and leftovers included.
TTree ReadTree(const std::string& folder) {
  TTree tree;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    const std::string relative = entry.path().lexically_relative(folder).string();
    tree[relative] = entry.is_symlink()   ? "link"
                     : entry.is_directory() ? "/"
                                            : ReadFileText(entry.path().string());
  }
  return tree;
}

void WriteScript(const std::string& path, const std::string& body) {
  WriteFileText(path, "#!/bin/sh\n" + body);
  chmod(path.c_str(), 0755);
}

bool Alive(pid_t pid) { return pid > 0 && kill(pid, 0) == 0; }

class RollbackTest : public test::TDezazizFixture {
protected:
  void SetHandoff(const std::string& config) {
    WriteFileText(FDocs + "/WUPDATE.INI", "[CONFIG]\n" + config);
  }
  int Recover(const std::string& staging) {
    return StartProcess({FStaging + "dezaziz.exe", "--recover", staging}, true, FApp).ExitCode;
  }
  // The pid a restarted script wrote into `name` of the application's folder.
  pid_t StartedPid(const std::string& name) {
    const std::string text = AwaitFileText(FApp + "/" + name);
    return text.empty() ? -1 : std::stoi(text);
  }
  void TearDown() override {
    for (pid_t pid : FStarted)
      if (Alive(pid)) kill(pid, SIGKILL);
  }
  std::vector<pid_t> FStarted;  // restarted programs still to end
};

// 50 files: 30 suffixed copies through a component list, 20 in a cabinet, 6 of them new ones
// in a folder of their own. Each test round stages them afresh over the old tree.
class KilledApplyTest : public RollbackTest {
protected:
  static constexpr size_t KFileSize = 96 << 10;

  void SetUp() override {
    RollbackTest::SetUp();
    fs::create_directories(FWork);
    std::string list = "[FILES]\nCOUNT=30\n";
    const std::string cabinet = fs::canonical(test::TestRoot()).string() + "/cabinet";
    std::vector<std::string> packed;
    for (int i = 0; i < 50; ++i) {
      const std::string name = "f" + std::to_string(i) + ".dat";
      const std::string fresh = test::SampleData(KFileSize, 1000 + i);
      if (i < 30) {
        WriteFileText(FWork + name + "_NEW", fresh);
        list += "FILE" + std::to_string(i + 1) + "=" + name + "_NEW\nTARGET" +
                std::to_string(i + 1) + "={APP}\\data\n";
        FOld["data/" + name] = std::string(KFileSize, static_cast<char>('a' + i % 26));
        FNew["data/" + name] = fresh;
      } else {
        const std::string stored = i < 44 ? name : "extra/" + name;
        test::WriteTree(cabinet, {{stored, fresh}}, 1700000000);
        packed.push_back(stored);
        if (i < 44) FOld[stored] = std::string(KFileSize, static_cast<char>('A' + i % 26));
        FNew[stored] = fresh;
      }
    }
    FOld["data"] = FNew["data"] = FNew["extra"] = "/";
    ASSERT_TRUE(test::MakeCabinet(FWork + "more.cab", cabinet, packed, true));
    WriteFileText(FWork + "files.inf", list);
  }

  void Prepare() {
    fs::remove_all(FApp);
    for (const auto& [name, data] : FOld)
      data == "/" ? (void)fs::create_directories(FApp + "/" + name)
                  : WriteFileText(FApp + "/" + name, data);
    for (const fs::directory_entry& entry : fs::directory_iterator(FWork))
      fs::copy_file(entry.path(), FStaging + entry.path().filename().string(),
                    fs::copy_options::overwrite_existing);
  }
  std::vector<std::string> Arguments() const {
    return ApplyArguments({"files.inf", "more.cab"}, "X");
  }
  // Starts the apply and waits for the journal to appear; false when it never does.
  bool StartApply(TProcessResult& started) {
    started = Start(Arguments());
    const auto deadline = TClock::now() + std::chrono::seconds(10);
    while (started.Started && !FileExists(Journal()) && TClock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    return started.Started && FileExists(Journal());
  }

  std::string FWork = fs::canonical(test::TestRoot()).string() + "/work/";
  TTree FOld, FNew;
};

TEST_F(KilledApplyTest, KilledAtAnyMomentEveryFileIsWholeAndRecoveryBringsBackTheOld) {
  Prepare();
  TProcessResult started;
  ASSERT_TRUE(StartApply(started));
  const auto begin = TClock::now();
  int exitCode = -1;
  ASSERT_TRUE(CollectChild(started.Pid, 60000, exitCode));
  const auto window =
      std::chrono::duration_cast<std::chrono::microseconds>(TClock::now() - begin).count();
  EXPECT_EQ(ReadTree(FApp), FNew);
  EXPECT_EQ(Recover(FStaging), 0);  // a finished update is never rolled back
  EXPECT_EQ(ReadTree(FApp), FNew);

  const unsigned seed = std::random_device()();
  SCOPED_TRACE("seed " + std::to_string(seed));
  std::mt19937 random(seed);
  int interrupted = 0;
  for (int round = 0; round < 20; ++round) {
    SCOPED_TRACE("round " + std::to_string(round));
    Prepare();
    ASSERT_TRUE(StartApply(started));
    std::this_thread::sleep_for(std::chrono::microseconds(
        std::uniform_int_distribution<long>(0, window)(random)));
    kill(started.Pid, SIGKILL);
    ASSERT_TRUE(CollectChild(started.Pid, 60000, exitCode));

    const TTree killed = ReadTree(FApp);
    for (const auto& [name, data] : FNew) {
      const auto found = killed.find(name);
      const auto old = FOld.find(name);
      if (found == killed.end())
        EXPECT_TRUE(old == FOld.end()) << name << " is gone";
      else
        EXPECT_TRUE(found->second == data || (old != FOld.end() && found->second == old->second))
            << name << " is neither whole old nor whole new";
    }
    const std::string journal = ReadFileText(Journal());
    const bool unfinished =
        FileExists(Journal()) && journal.find("\nfinished\n") == std::string::npos;
    interrupted += unfinished;
    // Both ways back: the same command line again, or --recover.
    if (round % 2 == 0)
      Run(Arguments());
    else
      EXPECT_EQ(Recover(FStaging), 0);
    EXPECT_FALSE(FileExists(Journal()));
    EXPECT_EQ(ReadTree(FApp), unfinished ? FOld : FNew);
  }
  // Most kills must land inside the apply, or the rounds prove nothing.
  EXPECT_GE(interrupted, 10);
}

TEST_F(RollbackTest, AComponentThatCannotBeWrittenRollsBackEverythingAndRestartsTheOldVersion) {
  // Root writes wherever permissions say no, so a target that cannot be written is one no
  // permission makes: a file where its folder should be, or a folder where the file should be.
  const struct {
    const char* Name;
    std::string Target;
  } cases[] = {
      {"its folder is a file", "{APP}\\blocker"},
      {"a folder stands at its name", "{APP}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(FApp);
    fs::create_directories(FApp + "/bad.txt/inside");
    fs::create_directories(FApp + "/fresh");
    WriteFileText(FApp + "/blocker", "a file");
    WriteFileText(FApp + "/a.txt", "old a");
    WriteScript(FApp + "/prog", "echo old > ran.txt\n");
    Stage("prog_NEW", "#!/bin/sh\necho new > ran.txt\n", 0755);
    for (const char* name : {"a.txt_NEW", "fresh.txt_NEW", "bad.txt_NEW", "late.txt_NEW"})
      Stage(name, name);
    const std::string source = fs::canonical(test::TestRoot()).string() + "/cab";
    // a.txt is written twice: by the cabinet, then by the list.
    test::WriteTree(source, {{"a.txt", "cabinet a"}, {"sub/x.txt", "x"}}, 0);
    ASSERT_TRUE(test::MakeCabinet(FStaging + "c.cab", source, {"a.txt", "sub/x.txt"}, true));
    Stage("list.inf", "[FILES]\nCOUNT=4\nFILE1=a.txt_NEW\nTARGET1={APP}\nFILE2=fresh.txt_NEW\n"
                      "TARGET2={APP}\\fresh\nFILE3=bad.txt_NEW\nTARGET3=" + c.Target +
                      "\nFILE4=late.txt_NEW\nTARGET4={APP}\n");
    const TTree before = ReadTree(FApp);
    fs::remove(Log());

    Run(ApplyArguments({"prog_NEW", "c.cab", "list.inf"}, "L", FApp + "/prog"));
    EXPECT_EQ(AwaitFileText(FApp + "/ran.txt"), "old\n");
    TTree after = ReadTree(FApp);
    after.erase("ran.txt");
    EXPECT_EQ(after, before);
    EXPECT_FALSE(FileExists(Journal()));
    const std::vector<std::string> messages = ComponentMessages();
    const auto failed = std::find(messages.begin(), messages.end(),
                                  "Upd failed to apply list.inf, rolling back");
    ASSERT_NE(failed, messages.end());
    EXPECT_EQ(std::vector<std::string>(failed + 1, messages.end()),
              (std::vector<std::string>{
                  "Upd rollback removed " + FApp + "/fresh/fresh.txt",
                  "Upd rollback removed " + FApp + "/sub/x.txt",
                  "Upd rollback restored " + FApp + "/a.txt",
                  "Upd rollback restored " + FApp + "/prog",
                  "Upd update rolled back",
                  "UPD restart " + FApp + "/prog  ",
                  "UPD has EXE restarted",
              }));
  }
}

TEST_F(RollbackTest, TheStartCheckBringsBackTheOldVersionWhenTheNewOneDies) {
  const struct {
    const char* Name;
    std::string NewVersion;
    bool NewKept;
    std::string Failure;
  } cases[] = {
      {"exits with status 1 at once", "exit 1\n", false, "ended with status 1"},
      {"is killed by a signal", "kill -9 $$\n", false, "ended with status 137"},
      {"keeps running", "echo $$ > new.pid\nexec sleep 30\n", true, ""},
      {"ends well within the check", "echo ended > new.txt\n", true, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(FApp);
    fs::create_directories(FApp);
    fs::remove(Log());
    WriteScript(FApp + "/prog", "echo $$ > old.pid\nexec sleep 30\n");
    Stage("prog_NEW", "#!/bin/sh\n" + c.NewVersion, 0755);
    SetHandoff("STARTCHECK=1\n");
    const auto begin = TClock::now();
    Run(ApplyArguments({"prog_NEW"}, "L", FApp + "/prog"));

    const std::string oldVersion = "#!/bin/sh\necho $$ > old.pid\nexec sleep 30\n";
    EXPECT_EQ(ReadFileText(FApp + "/prog"), c.NewKept ? "#!/bin/sh\n" + c.NewVersion : oldVersion);
    EXPECT_FALSE(FileExists(Journal()));
    EXPECT_FALSE(FileExists(FApp + "/prog.dezaziz-old"));
    if (c.NewKept) {
      EXPECT_FALSE(FileExists(FApp + "/old.pid"));
      if (FileExists(FApp + "/new.txt")) continue;
      EXPECT_GE(TClock::now() - begin, std::chrono::seconds(1));  // watched to the end
      const pid_t pid = StartedPid("new.pid");
      EXPECT_TRUE(Alive(pid)) << "the new version is not running";
      FStarted.push_back(pid);
    } else {
      const pid_t pid = StartedPid("old.pid");
      EXPECT_TRUE(Alive(pid)) << "the old version is not running";
      FStarted.push_back(pid);
      const std::vector<std::string> messages = ComponentMessages();
      EXPECT_NE(std::find(messages.begin(), messages.end(),
                          "UPD start check failed : " + FApp + "/prog " + c.Failure +
                              ", rolling back"),
                messages.end());
    }
  }
}

TEST_F(RollbackTest, ANextStartRollsBackOnlyAnApplyThatDidNotFinish) {
  const struct {
    const char* Name;
    std::string End;
    std::string Expected;
  } cases[] = {
      {"unfinished", "", "old"},
      {"finished, its backups left", "finished\n", "new"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFileText(FApp + "/a.txt", "old");
    ASSERT_EQ(link((FApp + "/a.txt").c_str(), (FApp + "/a.txt.dezaziz-old").c_str()), 0);
    struct stat old {};
    ASSERT_EQ(stat((FApp + "/a.txt").c_str(), &old), 0);
    WriteFileText(FApp + "/a.txt.dezaziz-new", "new");
    fs::rename(FApp + "/a.txt.dezaziz-new", FApp + "/a.txt");
    WriteFileText(Journal(), "dezaziz journal 1\nreplaced " + std::to_string(old.st_ino) + " " +
                                 FApp + "/a.txt\n" + c.End);
    Stage("a.txt_NEW", "newer");

    Apply({"a.txt_NEW"});  // not applied: the interrupted update is settled instead
    EXPECT_EQ(ReadTree(FApp), (TTree{{"a.txt", c.Expected}}));
    EXPECT_FALSE(FileExists(Journal()));
  }
}

TEST_F(RollbackTest, RecoverRefusesWhatAJournalMayNotTouch) {
  const std::string root = fs::canonical(test::TestRoot()).string();
  WriteFileText(root + "/secret", "secret");
  struct stat secret {};
  ASSERT_EQ(stat((root + "/secret").c_str(), &secret), 0);
  const std::string header = "dezaziz journal 1\n";
  const struct {
    const char* Name;
    std::string Journal;
    int ExitCode;
  } cases[] = {
      {"no journal", "", 0},
      {"a path that climbs", header + "created " + FApp + "/../app/victim\n", 1},
      {"a relative path", header + "created victim\n", 1},
      {"a backup name", header + "created " + FApp + "/victim.dezaziz-old\n", 1},
      {"a line of no kind", header + "deleted " + FApp + "/victim\n", 1},
      {"a link planted at the backup name",
       header + "replaced " + std::to_string(secret.st_ino) + " " + FApp + "/victim\n", 1},
      {"no journal of ours", "something else\ncreated " + FApp + "/victim\n", 1},
      {"a created file, and a last line cut short",
       header + "created " + FApp + "/made.txt\ncreated " + FApp + "/vic", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(FApp);
    fs::create_directories(FApp);
    WriteFileText(FApp + "/victim", "keep me");
    WriteFileText(FApp + "/made.txt", "made by the apply");
    ASSERT_EQ(symlink((root + "/secret").c_str(), (FApp + "/victim.dezaziz-old").c_str()), 0);
    fs::remove(Journal());
    if (!c.Journal.empty()) WriteFileText(Journal(), c.Journal);

    EXPECT_EQ(Recover(FStaging), c.ExitCode);
    EXPECT_EQ(ReadFileText(FApp + "/victim"), "keep me");
    EXPECT_FALSE(fs::is_symlink(FApp + "/victim"));
    EXPECT_EQ(ReadFileText(root + "/secret"), "secret");
    EXPECT_EQ(FileExists(Journal()), c.ExitCode != 0);  // kept for a later try
    EXPECT_EQ(FileExists(FApp + "/made.txt"), c.Journal.find("made.txt") == std::string::npos);
  }
}

TEST_F(RollbackTest, RecoverUsesNoJournalFromAFolderOthersCanWriteOrThroughALink) {
  const std::string root = fs::canonical(test::TestRoot()).string();
  WriteFileText(FApp + "/made.txt", "made by the apply");
  WriteFileText(Journal(), "dezaziz journal 1\ncreated " + FApp + "/made.txt\n");
  const std::string linked = root + "/linked";
  ASSERT_EQ(symlink(FStaging.c_str(), linked.c_str()), 0);
  EXPECT_EQ(Recover(linked), 1);
  chmod(FStaging.c_str(), 0777);
  EXPECT_EQ(Recover(FStaging), 1);
  chmod(FStaging.c_str(), 0700);
  fs::rename(Journal(), root + "/journal");
  ASSERT_EQ(symlink((root + "/journal").c_str(), Journal().c_str()), 0);
  EXPECT_EQ(Recover(FStaging), 1);
  EXPECT_TRUE(FileExists(FApp + "/made.txt"));

  EXPECT_EQ(StartProcess({FStaging + "dezaziz.exe", "--recover"}, true).ExitCode, 2);
  EXPECT_EQ(Recover(root + "/missing"), 0);
}

}  // namespace
}  // namespace vyn
