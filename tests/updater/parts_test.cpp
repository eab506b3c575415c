// Target folders, component kinds and names, and the updater's argument rules.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "updater/ComponentKind.h"
#include "updater/ComponentListEntries.h"
#include "updater/TargetPath.h"
#include "updater/UpdaterArguments.h"

namespace vyn {
namespace {

class TargetPathTest : public ::testing::Test {
protected:
  void SetUp() override {
    FApp = std::filesystem::canonical(test::TestRoot()).string() + "/app";
    std::filesystem::create_directories(FApp);
    FPrevious = std::filesystem::current_path();
    std::filesystem::current_path(FApp);
  }
  void TearDown() override { std::filesystem::current_path(FPrevious); }

  test::TIsolatedEnvironment FEnvironment;
  std::string FApp;
  std::filesystem::path FPrevious;
};

TEST_F(TargetPathTest, PlaceholdersExpandToNormalizedFolders) {
  const std::string temp = SystemTempDir();
  const struct {
    std::string Text, Expected;
  } cases[] = {
      {"{APP}\\data", FApp + "/data/"},
      {"{app}", FApp + "/"},
      {"{WIN}", "/usr/"},
      {"{SYS}\\x86\\", "/usr/lib/x86/"},
      {"{TMP}", temp + "/"},
      {"{XYZ}", "{XYZ}/"},
      {"{PF}\\vyn", "{PF}/vyn/"},  // no value in the machine hive
      {"{APP}{WIN}", FApp + "/usr/"},
      {"{{APP}}", "{{APP}}/"},     // a '{' inside a name belongs to it
      {"a{APP", "a{APP/"},
      {"/opt/vyn", "/opt/vyn/"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ExpandTargetPath(c.Text), c.Expected) << c.Text;
}

TEST_F(TargetPathTest, ProgramFilesComesFromTheMachineHive) {
  TRegistry machine(THiveRoot::HKEY_LOCAL_MACHINE);
  ASSERT_TRUE(machine.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion", true));
  machine.WriteString("ProgramFilesDir", "/opt/programs/");
  EXPECT_EQ(ExpandTargetPath("{PF}\\vyn"), "/opt/programs/vyn/");
  machine.WriteInteger("ProgramFilesDir", 3);  // of another type: as good as missing
  EXPECT_EQ(ExpandTargetPath("{pf}"), "{pf}/");
}

TEST_F(TargetPathTest, AFolderHoldingAPlaceholderIsExpandedOnce) {
  std::filesystem::create_directories(FApp + "/x{APP}");
  std::filesystem::current_path(FApp + "/x{APP}");
  EXPECT_EQ(ExpandTargetPath("{APP}"), FApp + "/x{APP}/");
}

TEST(NormalizeDirectoryTest, EveryFolderCanTakeASeparatorAndAName) {
  EXPECT_EQ(NormalizeDirectory("/usr/"), "/usr");
  EXPECT_EQ(NormalizeDirectory("/usr"), "/usr");
  EXPECT_EQ(NormalizeDirectory("/"), "/.");
  EXPECT_EQ(NormalizeDirectory(""), ".");
}

TEST(ComponentKindTest, TheFirstMatchingTestDecides) {
  const struct {
    const char* Name;
    TComponentKind Kind;
  } cases[] = {
      {"report_new.txt_NEW", TComponentKind::ckSuffixedCopy},
      {"setup.exe_new", TComponentKind::ckSuffixedCopy},
      {"list.INF", TComponentKind::ckComponentList},
      {"app.pat", TComponentKind::ckPatch},
      {"MAIN.Cab", TComponentKind::ckCabinet},
      {"setup.EXE", TComponentKind::ckProgram},
      {"prog.ex_", TComponentKind::ckLZFile},
      {"NEW", TComponentKind::ckLZFile},
      {"_NE", TComponentKind::ckLZFile},
      {"noextension", TComponentKind::ckLZFile},
      {"x.inf.cab", TComponentKind::ckCabinet},
  };
  for (const auto& c : cases) EXPECT_EQ(ComponentKind(c.Name), c.Kind) << c.Name;
}

TEST(ComponentKindTest, OnlyPlainNamesOfTheStagingFolderAreAccepted) {
  for (const char* name : {"a.txt_NEW", "setup.exe", "x", "a.b.c"})
    EXPECT_TRUE(IsAcceptableComponentName(name)) << name;
  for (const char* name : {"", ".", "/etc/passwd_NEW", "../a.txt_NEW", "..", "a..b", "sub/a.txt",
                           "sub\\a.txt", "_NEW", "_new"})
    EXPECT_FALSE(IsAcceptableComponentName(name)) << name;
}

TEST(ComponentListTest, OnlyTheFileKeysPresentUpToTheCountAreEntries) {
  test::TIsolatedEnvironment environment;
  const std::string path = test::TestRoot() + "/list.inf";
  // A count of a thousand million with one far key must not mean a thousand million entries.
  test::WriteFileText(path,
                      "[FILES]\nCOUNT=999999999\nFILE999999999=last.txt_NEW\nFILE3=c.txt_NEW\n"
                      "TARGET3={APP}\nFILE1=a.txt_NEW\nfile01=zero.txt_NEW\n");
  const std::vector<TComponentListEntry> entries = ReadComponentList(TIniFile(path));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].Number, 1);
  EXPECT_EQ(entries[0].File, "a.txt_NEW");
  EXPECT_EQ(entries[1].Number, 3);
  EXPECT_EQ(entries[1].Target, "{APP}");
  EXPECT_EQ(entries[2].Number, 999999999);
  test::WriteFileText(path, "[FILES]\nCOUNT=2\nFILE1=a\nFILE3=c\n");
  ASSERT_EQ(ReadComponentList(TIniFile(path)).size(), 1u);
}

TEST(UpdaterArgumentsTest, TheProcessIdIsAPositiveDecimalInteger) {
  for (const char* word : {"", "abc", "12x", " 12", "+12", "-12", "0", "0x1F", "$1F",
                           "99999999999999999999"})
    EXPECT_FALSE(ParseUpdaterArguments({word, "L", "null", " ", "/s", "a"})) << word;
  EXPECT_FALSE(ParseUpdaterArguments({}));
  const auto arguments = ParseUpdaterArguments({"0042", "l", "/app/x", " ", "/s/", "a", "b"});
  ASSERT_TRUE(arguments);
  EXPECT_EQ(arguments->ProcessId, 42);
  EXPECT_FALSE(arguments->Logging);  // only "L" turns logging on
  EXPECT_EQ(arguments->Components, (std::vector<std::string>{"a", "b"}));
  EXPECT_TRUE(ParseUpdaterArguments({"7", "L"})->Logging);
}

}  // namespace
}  // namespace vyn
