// Post-processing of a downloaded file: moved into place, expanded, extracted or applied as a
// patch by the patch tool; running a program and unpacking the tool.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <sstream>

#include "platform/Resources.h"
#include "tests/archive/support/ArchiveFixtures.h"
#include "transfer_fixture.h"
#include "update/log/LogFile.h"
#include "update/log/SystemError.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::WriteFileText;

unsigned Umask() {
  const mode_t mask = umask(0);
  umask(mask);
  return mask;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Registers a resource for one test case: `text` packed as the build packs the patch tool.
class TScopedResource {
public:
  TScopedResource(const std::string& name, const std::string& text) : FName(name) {
    const std::string plain = test::TestRoot() + "/resource.exe";
    WriteFileText(plain, text);
    EXPECT_TRUE(test::MakeSzdd(plain, plain + ".packed", 'e'));
    FBytes = ReadFileText(plain + ".packed");
    RegisterResource(FName, FBytes);
  }
  ~TScopedResource() { UnregisterResource(FName); }

private:
  std::string FName;
  std::string FBytes;
};

class PostProcess : public test::TTransferTest {
protected:
  void SetUp() override {
    TTransferTest::SetUp();
    FApp = test::TestRoot() + "/app/";
    FSource = test::TestRoot() + "/src/";
    FRecord = test::TestRoot() + "/argv.txt";
    fs::create_directories(FApp);
    fs::create_directories(FSource);
    FPrevious = fs::current_path();
    fs::current_path(FApp);
    FStaging = FEngine.WinTempDir();
    FEngine.ExtractCAB = true;
  }
  void TearDown() override { fs::current_path(FPrevious); }

  // Empties the application, target and staging folders between the rows of a table.
  void Reset() {
    for (const std::string& folder : {FApp, FTarget, FStaging})
      for (const auto& entry : fs::directory_iterator(folder)) fs::remove_all(entry.path());
  }

  // An SZDD file `folder` + `name` whose expanded name ends in `last`.
  void Szdd(const std::string& folder, const std::string& name, const std::string& content,
            char last) {
    const std::string plain = FSource + name + ".plain";
    WriteFileText(plain, content);
    ASSERT_TRUE(test::MakeSzdd(plain, folder + name, last));
  }

  void Cabinet(const std::string& path,
               const std::vector<std::pair<std::string, std::string>>& files) {
    const std::string tree = FSource + "tree/";
    fs::remove_all(tree);
    test::WriteTree(tree, files, 1500000000);
    std::vector<std::string> names;
    for (const auto& file : files) names.push_back(file.first);
    ASSERT_TRUE(test::MakeCabinet(path, tree, names, true));
  }

  // The stand-in patch tool: records its arguments one a line, writes a line to its output.
  std::string PatcherScript(int exitCode = 0) const {
    return "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + FRecord +
           "'\necho patcher output\nexit " + std::to_string(exitCode) + "\n";
  }
  void WriteProgram(const std::string& path, const std::string& script) const {
    WriteFileText(path, script);
    fs::permissions(path, fs::perms::owner_all);
  }
  std::optional<std::vector<std::string>> Recorded() const {
    if (!fs::exists(FRecord)) return std::nullopt;
    return Lines(ReadFileText(FRecord));
  }

  std::string FApp;
  std::string FSource;
  std::string FStaging;
  std::string FRecord;
  fs::path FPrevious;
};

TEST_F(PostProcess, LzExpansionHappensOnlyInTheCurrentFolder) {
  const std::string other = FTarget;
  enum TWhere { wNone, wApp, wOther };
  struct TCase {
    const char* Name;
    bool UseWinTempDir;
    TWhere Target;
    bool OtherFileInApp;  // another "NOTES.TX_" already lies in the current folder
    bool Keep;
    const char* ExpandedIn;    // "app", or "" when nothing is expanded
    const char* CompressedIn;  // where our compressed file is left: "", "staging", "target"
  };
  const TCase cases[] = {
      {"staged, target elsewhere", false, wOther, false, false, "app", ""},
      {"staged, kept intermediates", false, wOther, false, true, "app", ""},
      {"relocated to the application folder", true, wApp, false, false, "app", ""},
      {"relocated elsewhere", true, wOther, false, false, "", "target"},
      {"relocated elsewhere, another file of the name here", true, wOther, true, false, "",
       "target"},
      {"no target", true, wNone, false, false, "app", ""},
      {"no target, another file of the name here", true, wNone, true, false, "", "staging"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Reset();
    FEngine.UseWinTempDir = c.UseWinTempDir;
    FEngine.KeepIntermediateFiles = c.Keep;
    const std::string target = c.Target == wNone ? "" : c.Target == wApp ? FApp : other;
    const std::string folder = c.UseWinTempDir ? FStaging : target;
    Szdd(folder, "notes.tx_", "fresh notes, fresh notes", 't');
    if (c.OtherFileInApp) WriteFileText(FApp + "NOTES.TX_", "someone else's");

    FEngine.PostProcessDownload("notes.tx_", folder, target, true, "");

    if (std::string(c.ExpandedIn) == "app") {
      EXPECT_EQ(ReadFileText(FApp + "notes.txt"), "fresh notes, fresh notes");
      EXPECT_FALSE(fs::exists(FApp + "notes.tx_"));
    } else {
      EXPECT_FALSE(fs::exists(FApp + "notes.txt"));
    }
    EXPECT_EQ(fs::exists(FStaging + "notes.tx_"), std::string(c.CompressedIn) == "staging");
    EXPECT_EQ(fs::exists(other + "notes.tx_"), std::string(c.CompressedIn) == "target");
    if (c.OtherFileInApp) {
      EXPECT_EQ(ReadFileText(FApp + "NOTES.TX_"), "someone else's");
    }
  }
}

TEST_F(PostProcess, CompressedFilesStayWhenNotAskedToExpand) {
  for (const bool extract : {false, true}) {
    Reset();
    FEngine.ExtractCAB = extract;
    Szdd(FStaging, "notes.tx_", "data data data", 't');
    FEngine.PostProcessDownload("notes.tx_", FStaging, "", /*Compressed=*/extract ? false : true,
                                "");
    EXPECT_TRUE(fs::exists(FStaging + "notes.tx_"));
    EXPECT_FALSE(fs::exists(FApp + "notes.txt"));
  }
}

TEST_F(PostProcess, RelocationReplacesTheInstalledFileWhateverItsCase) {
  WriteFileText(FTarget + "Tool.DLL", "old");
  fs::permissions(FTarget + "Tool.DLL", fs::perms(0750));
  WriteFileText(FStaging + "tool.dll", "new");
  FEngine.PostProcessDownload("tool.dll", FStaging, FTarget, false, "");
  EXPECT_EQ(ReadFileText(FTarget + "Tool.DLL"), "new");
  EXPECT_EQ(Mode(FTarget + "Tool.DLL"), 0750u);
  EXPECT_FALSE(fs::exists(FTarget + "tool.dll"));
  EXPECT_EQ(StagingFiles(), 0);

  // Cabinets and patches are not moved; nor is anything without the staging folder.
  FEngine.ExtractCAB = false;
  for (const char* name : {"a.cab", "b.PAT"}) {
    WriteFileText(FStaging + name, "x");
    FEngine.PostProcessDownload(name, FStaging, FTarget, false, "");
    EXPECT_TRUE(fs::exists(FStaging + name)) << name;
    EXPECT_FALSE(fs::exists(FTarget + name)) << name;
  }
  FEngine.UseWinTempDir = false;
  WriteFileText(FTarget + "c.dll", "c");
  FEngine.PostProcessDownload("c.dll", FTarget, FTarget, false, "");
  EXPECT_EQ(ReadFileText(FTarget + "c.dll"), "c");
}

TEST_F(PostProcess, CabinetsAreExtractedIntoTheirTarget) {
  const std::vector<std::pair<std::string, std::string>> files = {{"docs/a.txt", "alpha"},
                                                                  {"b.txt", "beta"}};
  Cabinet(FStaging + "pack.cab", files);
  FEngine.PostProcessDownload("pack.cab", FStaging, FTarget, true, "");
  EXPECT_EQ(ReadFileText(FTarget + "docs/a.txt"), "alpha");
  EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "beta");
  EXPECT_FALSE(fs::exists(FStaging + "pack.cab"));
  EXPECT_FALSE(FEngine.HasMessage(947));

  Reset();
  FEngine.KeepIntermediateFiles = true;
  Cabinet(FStaging + "Pack.Cab", files);
  FEngine.PostProcessDownload("Pack.Cab", FStaging, FTarget, true, "");
  EXPECT_EQ(ReadFileText(FTarget + "b.txt"), "beta");
  EXPECT_TRUE(fs::exists(FStaging + "Pack.Cab"));

  // Not marked compressed, or extraction off: left where it came.
  for (const bool extract : {false, true}) {
    Reset();
    FEngine.ExtractCAB = extract;
    Cabinet(FStaging + "pack.CAB", files);
    FEngine.PostProcessDownload("pack.CAB", FStaging, FTarget, !extract, "");
    EXPECT_TRUE(fs::exists(FStaging + "pack.CAB"));
    EXPECT_FALSE(fs::exists(FTarget + "b.txt"));
  }
}

TEST_F(PostProcess, ACabinetWithoutTargetKeepsItsFoldersBelowTheCurrentFolder) {
  FEngine.UseWinTempDir = false;
  Cabinet(FApp + "pack.cab", {{"docs/deep/a.txt", "alpha"}, {"b.txt", "beta"}});
  FEngine.PostProcessDownload("pack.cab", "", "", true, "");
  EXPECT_EQ(ReadFileText(FApp + "docs/deep/a.txt"), "alpha");
  EXPECT_EQ(ReadFileText(FApp + "b.txt"), "beta");
  EXPECT_FALSE(fs::exists(FApp + "pack.cab"));
}

TEST_F(PostProcess, AHostileCabinetWritesNothingOutsideItsTarget) {
  ASSERT_FALSE(fs::exists("/etc/x"));
  struct TCase {
    const char* Stored;
    const char* Hostile;
  };
  for (const TCase& c : {TCase{"zz\\evil", "../evil"}, TCase{"zzz\\xy", "/etc/x"}}) {
    SCOPED_TRACE(c.Hostile);
    Reset();
    FEngine.Messages.clear();
    std::string relative = c.Stored;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    Cabinet(FStaging + "evil.cab", {{"first.txt", "1"}, {relative, "evil"}});
    ASSERT_TRUE(test::PatchBytes(FStaging + "evil.cab", std::string(c.Stored) + '\0',
                                 std::string(c.Hostile) + '\0'));
    FEngine.PostProcessDownload("evil.cab", FStaging, FTarget, true, "");
    ExpectMessage(947, "Error decompressing CAB file : " + FStaging + "evil.cab", 8, 0);
    EXPECT_FALSE(fs::exists(test::TestRoot() + "/evil"));
    EXPECT_FALSE(fs::exists("/etc/x"));
    EXPECT_TRUE(fs::exists(FStaging + "evil.cab"));
  }
}

TEST_F(PostProcess, APatchRunsTheToolOnThePatchAndTheInstalledFile) {
  WriteProgram(FApp + "patcher.exe", PatcherScript());
  FEngine.ApplyPatch = true;
  const std::string installed = FTarget + "my app.bin";
  for (const bool logging : {false, true}) {
    SCOPED_TRACE(logging ? "with logging" : "without logging");
    fs::remove(FRecord);
    FEngine.Logging = logging;
    WriteFileText(FApp + "WUPDATE.LOG", "earlier line\n");
    WriteFileText(FStaging + "fix.pat", "delta");
    FEngine.PostProcessDownload("fix.pat", FStaging, FTarget, false, installed);

    const std::vector<std::string> patchArgs = {FStaging + "fix.pat", installed};
    std::vector<std::string> expected = patchArgs;
    if (logging) expected.insert(expected.begin(), "-v");
    EXPECT_EQ(Recorded(), expected);
    const std::string command = logging
                                    ? "patcher.exe -v " + FStaging + "fix.pat \"" + installed +
                                          "\" >> WUPDATE.LOG"
                                    : "patcher.exe " + FStaging + "fix.pat \"" + installed + "\"";
    ExpectMessage(18, "Exec: " + command, 18, 0);
    EXPECT_EQ(ReadFileText(FApp + "WUPDATE.LOG"),
              logging ? "earlier line\npatcher output\n" : "earlier line\n");
    EXPECT_FALSE(fs::exists(FStaging + "fix.pat"));
    FEngine.Messages.clear();
  }

  FEngine.KeepIntermediateFiles = true;
  WriteFileText(FStaging + "fix.pat", "delta");
  FEngine.PostProcessDownload("fix.pat", FStaging, FTarget, false, installed);
  EXPECT_TRUE(fs::exists(FStaging + "fix.pat"));
}

TEST_F(PostProcess, APatchThatMayNotRunIsLeftAlone) {
  WriteProgram(FApp + "patcher.exe", PatcherScript());
  WriteFileText(FStaging + "fix.PAT", "delta");
  FEngine.ApplyPatch = false;
  FEngine.PostProcessDownload("fix.PAT", FStaging, FTarget, false, FTarget + "app.bin");
  FEngine.ApplyPatch = true;
  FEngine.PostProcessDownload("fix.PAT", FStaging, FTarget, false, "");
  EXPECT_TRUE(fs::exists(FStaging + "fix.PAT"));
  EXPECT_FALSE(fs::exists(FTarget + "fix.PAT"));
  EXPECT_FALSE(Recorded());

  // A double quote cannot pass the command line intact: nothing runs with a changed meaning.
  FEngine.PostProcessDownload("fix.PAT", FStaging, FTarget, false,
                              FTarget + "a\" >> \"/tmp/planted");
  EXPECT_FALSE(Recorded());
  EXPECT_FALSE(FEngine.HasMessage(18));
  EXPECT_FALSE(fs::exists("/tmp/planted"));
}

TEST_F(PostProcess, AUtilityUnpacksTheToolAndShowsItsStatusWindow) {
  const TScopedResource tool("UTIL", PatcherScript());
  TVudIvazozUtility utility;
  utility.ShowAnimation = true;
  utility.StatusCaption = "Patching";
  utility.StatusMessage = "Please wait";
  FEngine.Utility = &utility;
  FEngine.ApplyPatch = true;
  WriteFileText(FStaging + "fix.pat", "delta");
  FEngine.PostProcessDownload("fix.pat", FStaging, FTarget, false, FTarget + "app.bin");
  EXPECT_TRUE(fs::exists(FStaging + "patcher.exe"));
  EXPECT_EQ(Recorded(), (std::vector<std::string>{FStaging + "fix.pat", FTarget + "app.bin"}));
  EXPECT_EQ(FUi.Calls, (std::vector<std::string>{"StatusShow:Patching:Please wait", "StatusHide"}));
}

TEST_F(PostProcess, ExecAndWaitReportsHowTheProgramEnded) {
  WriteProgram(FApp + "tool", "#!/bin/sh\nsleep 0.3\nexit \"$1\"\n");
  FEngine.Logging = true;
  EXPECT_TRUE(FEngine.ExecAndWait("tool 0", false, false, "", ""));
  ExpectMessage(18, "Exec: tool 0", 18, 0);
  EXPECT_NE(ReadFileText(LogFilePath()).find("] Exec: tool 0 (Status:18) (Error:0)\r\n"),
            std::string::npos);
  EXPECT_GE(FUi.PendingEventsCalls, 3);  // the user interface kept being served meanwhile
  EXPECT_TRUE(FUi.Calls.empty());

  EXPECT_FALSE(FEngine.ExecAndWait("tool 3", true, true, "c", "m"));
  EXPECT_EQ(LastSystemError(), 8192 + 3);
  EXPECT_EQ(FUi.Calls, (std::vector<std::string>{"StatusShow:c:m", "StatusHide"}));

  // Not started at all: the status window goes away all the same.
  WriteFileText(FApp + "plain", "not a program");
  for (const char* command : {"vyn-no-such-tool", "./plain", "", "tool 0 >> missing/out.log"}) {
    FUi.Calls.clear();
    EXPECT_FALSE(FEngine.ExecAndWait(command, true, true, "c", "m")) << command;
    EXPECT_EQ(FUi.Calls, (std::vector<std::string>{"StatusShow:c:m", "StatusHide"})) << command;
  }
}

TEST_F(PostProcess, ExecAndWaitRedirectsOnlyAFinalAppend) {
  WriteProgram(FApp + "patcher.exe", PatcherScript());
  EXPECT_TRUE(FEngine.ExecAndWait("patcher.exe a >> b \"c d\"", true, false, "", ""));
  EXPECT_EQ(Recorded(), (std::vector<std::string>{"a", ">>", "b", "c d"}));

  EXPECT_TRUE(FEngine.ExecAndWait("patcher.exe x >> \"out log\"", true, false, "", ""));
  EXPECT_TRUE(FEngine.ExecAndWait("patcher.exe y >> \"out log\"", true, false, "", ""));
  EXPECT_EQ(ReadFileText(FApp + "out log"), "patcher output\npatcher output\n");
  EXPECT_EQ(Mode(FApp + "out log"), 0666u & ~Umask());
  EXPECT_EQ(Recorded(), (std::vector<std::string>{"y"}));

  // A link planted as the output file is not followed: the program does not run.
  WriteFileText(FSource + "victim", "keep");
  fs::create_symlink(FSource + "victim", FApp + "linked.log");
  fs::remove(FRecord);
  EXPECT_FALSE(FEngine.ExecAndWait("patcher.exe z >> linked.log", true, false, "", ""));
  EXPECT_EQ(ReadFileText(FSource + "victim"), "keep");
  EXPECT_FALSE(Recorded());
}

TEST_F(PostProcess, ABareProgramNameIsNeverTakenFromPath) {
  const std::string bin = test::TestRoot() + "/bin/";
  fs::create_directories(bin);
  const std::string marker = test::TestRoot() + "/ran-";
  const auto script = [&](const char* who) {
    return "#!/bin/sh\ntouch '" + marker + who + "'\n";
  };
  WriteProgram(bin + "vyn-tool", script("path"));
  const std::string previousPath = getenv("PATH") ? getenv("PATH") : "";
  setenv("PATH", (bin + ":" + previousPath).c_str(), 1);

  EXPECT_FALSE(FEngine.ExecAndWait("vyn-tool", true, false, "", ""));
  EXPECT_FALSE(fs::exists(marker + "path"));

  WriteProgram(FStaging + "vyn-tool", script("staging"));
  EXPECT_TRUE(FEngine.ExecAndWait("vyn-tool", true, false, "", ""));
  EXPECT_TRUE(fs::exists(marker + "staging"));

  WriteProgram(FApp + "vyn-tool", script("app"));
  EXPECT_TRUE(FEngine.ExecAndWait("vyn-tool", true, false, "", ""));
  EXPECT_TRUE(fs::exists(marker + "app"));
  EXPECT_FALSE(fs::exists(marker + "path"));
  setenv("PATH", previousPath.c_str(), 1);
}

TEST_F(PostProcess, ExtractPatcherWritesTheToolWhenTheProgramCarriesOne) {
  for (const bool staging : {false, true}) {
    FEngine.UseWinTempDir = staging;
    FEngine.ExtractPatcher();
  }
  EXPECT_FALSE(fs::exists(FApp + "patcher.exe"));
  EXPECT_FALSE(fs::exists(FStaging + "patcher.exe"));

  const TScopedResource tool("UTIL", "#!/bin/sh\nexit 0\n");
  FEngine.UseWinTempDir = true;
  FEngine.ExtractPatcher();
  EXPECT_EQ(ReadFileText(FStaging + "patcher.exe"), "#!/bin/sh\nexit 0\n");

  // In the current folder, over a link planted under the name: the link is replaced.
  FEngine.UseWinTempDir = false;
  WriteFileText(FSource + "victim", "keep");
  fs::create_symlink(FSource + "victim", FApp + "patcher.exe");
  FEngine.ExtractPatcher();
  EXPECT_FALSE(fs::is_symlink(FApp + "patcher.exe"));
  EXPECT_EQ(ReadFileText(FApp + "patcher.exe"), "#!/bin/sh\nexit 0\n");
  EXPECT_EQ(Mode(FApp + "patcher.exe"), 0777u & ~Umask());
  EXPECT_EQ(ReadFileText(FSource + "victim"), "keep");
  EXPECT_EQ(test::Listing(FApp), (std::vector<std::string>{"patcher.exe"}));

  // A folder that is gone cannot be written.
  const std::string gone = test::TestRoot() + "/gone";
  fs::create_directories(gone);
  fs::current_path(gone);
  fs::remove(gone);
  EXPECT_THROW(FEngine.ExtractPatcher(), std::runtime_error);
}

}  // namespace
}  // namespace vyn
