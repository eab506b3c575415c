// TRegistry over the hive files: keys, typed values, their French errors, and a hive file that
// does not parse or cannot be written.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "TestEnvironment.h"
#include "platform/Registry.h"

namespace vyn {
namespace {

const std::string kHeader = "Windows Registry Editor Version 5.00\n\n";

std::string UserHive() { return HiveFilePath(THiveRoot::HKEY_CURRENT_USER); }

std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const ERegistryException& error) {
    return error.what();
  }
  return "(no error)";
}

// Each case has hive files and registry variables of its own, whatever the others changed.
class Registry : public ::testing::Test {
  test::TIsolatedEnvironment FFolder;
};

TEST_F(Registry, HiveFilesLiveWhereTheEnvironmentSays) {
  EXPECT_EQ(HiveFilePath(THiveRoot::HKEY_CURRENT_USER), test::TestRoot() + "/registry/HKEY_CURRENT_USER.reg");
  EXPECT_EQ(HiveFilePath(THiveRoot::HKEY_LOCAL_MACHINE), test::TestRoot() + "/registry/HKEY_LOCAL_MACHINE.reg");
  unsetenv("VYN_REGISTRY_DIR");
  EXPECT_EQ(HiveFilePath(THiveRoot::HKEY_CURRENT_USER), test::TestRoot() + "/config/vynWebBrowser/HKEY_CURRENT_USER.reg");
  EXPECT_EQ(HiveFilePath(THiveRoot::HKEY_LOCAL_MACHINE), "/etc/vynWebBrowser/HKEY_LOCAL_MACHINE.reg");
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(HiveFilePath(THiveRoot::HKEY_CURRENT_USER),
            test::TestRoot() + "/home/.config/vynWebBrowser/HKEY_CURRENT_USER.reg");
}

TEST_F(Registry, OpenKeyCreatesOnlyWhenAsked) {
  TRegistry reg;
  EXPECT_FALSE(reg.OpenKey("Software\\Vyn", false));
  EXPECT_FALSE(std::filesystem::exists(UserHive()));  // neither reading nor failing writes anything

  ASSERT_TRUE(reg.OpenKey("\\Software\\Vyn\\WebBrowservyn.exe", true));
  EXPECT_EQ(reg.CurrentPath(), "Software\\Vyn\\WebBrowservyn.exe");
  EXPECT_TRUE(reg.GetValueNames().empty());

  // The key exists in the file without values; its parents exist implicitly.
  TRegistry other;
  EXPECT_TRUE(other.KeyExists("SOFTWARE\\vyn\\webbrowservyn.EXE"));
  EXPECT_TRUE(other.KeyExists("\\Software"));
  EXPECT_FALSE(other.KeyExists("Software\\Vy"));
  ASSERT_TRUE(other.OpenKey("software\\VYN", false));
  EXPECT_EQ(other.GetKeyNames(), std::vector<std::string>{"WebBrowservyn.exe"});

  // Without a leading '\' a path counts from the open key.
  ASSERT_TRUE(other.OpenKey("Child", true));
  EXPECT_EQ(other.CurrentPath(), "software\\VYN\\Child");
  EXPECT_TRUE(other.OpenKey("\\Software", false));
  EXPECT_EQ(other.CurrentPath(), "Software");
  other.CloseKey();
  EXPECT_FALSE(other.KeyExists("Child"));
  EXPECT_TRUE(other.KeyExists("Software\\Vyn\\Child"));
}

TEST_F(Registry, KeyPathsWithEmptyPartsNameNoKey) {
  TRegistry reg;
  ASSERT_TRUE(reg.CreateKey("a\\b"));
  for (const char* bad : {"a\\\\b", "\\\\a", "a\\b\\\\", "a\\\\", "line\nbreak", "tab\tkey"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(reg.KeyExists(bad));
    EXPECT_FALSE(reg.OpenKey(bad, true));
    EXPECT_FALSE(reg.OpenKeyReadOnly(bad));
    EXPECT_FALSE(reg.CreateKey(bad));
    EXPECT_FALSE(reg.DeleteKey(bad));
  }
  EXPECT_TRUE(reg.KeyExists("a\\b\\"));  // one trailing separator is harmless
  EXPECT_FALSE(reg.DeleteKey("\\"));     // the root itself cannot go
}

TEST_F(Registry, ValuesKeepTheirCaseAndAreFoundWithout) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vyn", true));
  reg.WriteString("HomePage", "https://exemple.fr/");
  reg.WriteInteger("PAGEACCUEIL", 2);
  reg.WriteInteger("pageaccueil", 1);  // the same value: the stored name keeps its case
  reg.WriteString("Données", "x");
  EXPECT_EQ(reg.GetValueNames(), (std::vector<std::string>{"HomePage", "PAGEACCUEIL", "Données"}));
  EXPECT_EQ(reg.ReadInteger("PageAccueil"), 1);
  EXPECT_TRUE(reg.ValueExists("homepage"));
  EXPECT_TRUE(reg.ValueExists("DONNÉES"));
  EXPECT_EQ(reg.GetDataType("HOMEPAGE"), REG_SZ);
  EXPECT_EQ(reg.GetDataType("absent"), REG_NONE);
  EXPECT_EQ(reg.GetDataSize("PageAccueil"), 4);
  EXPECT_EQ(reg.GetDataSize("absent"), -1);
}

TEST_F(Registry, WrittenHiveReadsBackInAnotherProcessView) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vyn \"quoted\\name\"", true));
    reg.WriteString("", "défaut ☃");
    reg.WriteString("Say \"hi\" C:\\", "C:\\Program Files\\\"vyn\"\\");
    reg.WriteString("TwoLines", "un\ndeux");
    reg.WriteExpandString("Expand", "%HOME%/é");
    reg.WriteInteger("Min", INT32_MIN);
    reg.WriteInteger("Minus", -1);
    reg.WriteBinaryData("Bytes", {0, 1, 0xfe, 0xff});
    reg.WriteBinaryData("Nothing", {});
  }
  const std::string text = test::ReadFileText(UserHive());
  EXPECT_EQ(text.rfind(kHeader, 0), 0u);
  EXPECT_EQ(text.find('\r'), std::string::npos);
  struct stat st;
  ASSERT_EQ(stat(UserHive().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("software\\vyn \"QUOTED\\name\""));
  EXPECT_EQ(reg.ReadString(""), "défaut ☃");
  EXPECT_EQ(reg.ReadString("say \"hi\" c:\\"), "C:\\Program Files\\\"vyn\"\\");
  EXPECT_EQ(reg.ReadString("TwoLines"), "un\ndeux");
  EXPECT_EQ(reg.ReadString("Expand"), "%HOME%/é");
  EXPECT_EQ(reg.GetDataType("Expand"), REG_EXPAND_SZ);
  EXPECT_EQ(reg.ReadInteger("Min"), INT32_MIN);
  EXPECT_EQ(reg.ReadInteger("Minus"), -1);
  EXPECT_EQ(reg.ReadBinaryData("Bytes"), (std::vector<uint8_t>{0, 1, 0xfe, 0xff}));
  EXPECT_TRUE(reg.ReadBinaryData("Nothing").empty());
}

TEST_F(Registry, ReadsCheckTypeAndSizeWithTheFrenchTexts) {
  test::WriteFileText(UserHive(), kHeader +
                                      "[HKEY_CURRENT_USER\\K]\n"
                                      "\"Sz\"=\"a\"\n"
                                      "\"LongSz\"=\"abcdef\"\n"
                                      "\"Sz12\"=\"12\"\n"
                                      "\"Zeros\"=hex(1):61,00,00,00,62,00,00,00\n"
                                      "\"Expand\"=hex(2):41,00,00,00\n"
                                      "\"Dword\"=dword:00000002\n"
                                      "\"Dword5\"=hex(4):01,00,00,00,00\n"
                                      "\"Dword1\"=hex(4):07\n"
                                      "\"Bin\"=hex:01,02\n"
                                      "\"Bin8\"=hex:01,02,03,04,05,06,07,08\n"
                                      "\"Multi\"=hex(7):61,00,00,00,00,00\n");
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("K", false));
  const std::string wrongType = "Type de données incorrect pour '";
  const std::string getFailed = "Echec à l'obtention des données pour '";
  struct TCase {
    const char* Read;
    const char* Name;
    std::string Expected;  // the result as text, or the error
  };
  const TCase cases[] = {
      {"string", "Sz", "a"},
      {"string", "Zeros", "a"},
      {"string", "Expand", "A"},
      {"string", "Absent", ""},
      {"string", "Dword", wrongType + "Dword'"},
      {"string", "Bin", wrongType + "Bin'"},
      {"string", "Multi", wrongType + "Multi'"},
      {"integer", "Dword", "2"},
      {"integer", "Dword1", "7"},
      {"integer", "Dword5", getFailed + "Dword5'"},
      {"integer", "Absent", getFailed + "Absent'"},
      {"integer", "Sz", wrongType + "Sz'"},
      {"integer", "Bin", wrongType + "Bin'"},
      {"integer", "LongSz", getFailed + "LongSz'"},
      {"integer", "Sz12", getFailed + "Sz12'"},  // 6 bytes as UTF-16
      {"integer", "Bin8", getFailed + "Bin8'"},
      {"binary", "Bin", "\x01\x02"},
      {"binary", "Multi", std::string("a\0\0", 3)},
      {"binary", "Sz", wrongType + "Sz'"},
      {"binary", "Dword", wrongType + "Dword'"},
      {"binary", "Absent", getFailed + "Absent'"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(c.Read) + " " + c.Name);
    std::string actual;
    try {
      if (std::string(c.Read) == "string") {
        actual = reg.ReadString(c.Name);
      } else if (std::string(c.Read) == "integer") {
        actual = std::to_string(reg.ReadInteger(c.Name));
      } else {
        const auto data = reg.ReadBinaryData(c.Name);
        actual.assign(data.begin(), data.end());
      }
    } catch (const ERegistryException& error) {
      actual = error.what();
    }
    EXPECT_EQ(actual, c.Expected);
  }
}

TEST_F(Registry, RefusedWritesRaiseTheFrenchText) {
  TRegistry reg;
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("NoKey", "x"); }), "Echec à la définition des données pour 'NoKey'");
  ASSERT_TRUE(reg.CreateKey("K"));
  ASSERT_TRUE(reg.OpenKeyReadOnly("K"));
  EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("ReadOnly", 1); }), "Echec à la définition des données pour 'ReadOnly'");
  EXPECT_FALSE(reg.DeleteValue("ReadOnly"));
  ASSERT_TRUE(reg.OpenKey("\\K", false));
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("Latin1", "\xE9t\xE9"); }), "Echec à la définition des données pour 'Latin1'");
  EXPECT_EQ(ErrorOf([&] { reg.WriteInteger("Two\nLines", 1); }),
            "Echec à la définition des données pour 'Two\nLines'");
  EXPECT_TRUE(reg.GetValueNames().empty());
}

TEST_F(Registry, UnwritableMachineHiveReadsEmptyAndRefusesWrites) {
  // A folder that cannot be created, even by root: its parent is a file.
  const std::string blocker = test::TestRoot() + "/not-a-folder";
  test::WriteFileText(blocker, "x");
  setenv("VYN_REGISTRY_DIR", (blocker + "/etc").c_str(), 1);
  TRegistry reg(THiveRoot::HKEY_LOCAL_MACHINE);
  EXPECT_FALSE(reg.KeyExists("Software\\Microsoft\\Windows NT\\CurrentVersion"));
  EXPECT_FALSE(reg.OpenKey("Software\\Vyn", true));
  EXPECT_FALSE(reg.CreateKey("Software\\Vyn"));
  ASSERT_TRUE(reg.OpenKey("", false));  // the root always exists
  EXPECT_EQ(ErrorOf([&] { reg.WriteString("LastDate", "01/01/2024"); }),
            "Echec à la définition des données pour 'LastDate'");
}

TEST_F(Registry, CorruptHiveRaisesNamingTheFileAndIsNeverOverwritten) {
  const std::string corrupt = kHeader + "[HKEY_CURRENT_USER\\K]\n\"V\"=dword:1\n\"W\"=\"unterminated\n";
  test::WriteFileText(UserHive(), corrupt);
  TRegistry reg;
  const std::string named = "'" + UserHive() + "'";
  EXPECT_NE(ErrorOf([&] { reg.KeyExists("K"); }).find(named), std::string::npos);
  EXPECT_NE(ErrorOf([&] { reg.OpenKey("K", false); }).find(named), std::string::npos);
  EXPECT_NE(ErrorOf([&] { reg.CreateKey("Other"); }).find(named), std::string::npos);
  EXPECT_NE(ErrorOf([&] { reg.DeleteKey("K"); }).find(named), std::string::npos);
  EXPECT_EQ(test::ReadFileText(UserHive()), corrupt);

  // Once repaired by hand the store works again, and a write made through a key opened before
  // the file broke still leaves the broken file alone.
  test::WriteFileText(UserHive(), kHeader + "[HKEY_CURRENT_USER\\K]\n\"V\"=dword:1\n");
  ASSERT_TRUE(reg.OpenKey("K", false));
  EXPECT_EQ(reg.ReadInteger("V"), 1);
  test::WriteFileText(UserHive(), corrupt);
  EXPECT_NE(ErrorOf([&] { reg.WriteInteger("V", 2); }).find(named), std::string::npos);
  EXPECT_NE(ErrorOf([&] { reg.DeleteValue("V"); }).find(named), std::string::npos);
  EXPECT_NE(ErrorOf([&] { reg.ReadInteger("V"); }).find(named), std::string::npos);
  EXPECT_EQ(test::ReadFileText(UserHive()), corrupt);
}

TEST_F(Registry, DeletesValuesAndWholeKeys) {
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Feature\\Sub\\Deep", true));
  reg.WriteInteger("vyn.exe", 1);
  ASSERT_TRUE(reg.OpenKey("\\Software\\Feature", false));
  reg.WriteInteger("vyn.exe", 0);
  EXPECT_TRUE(reg.DeleteValue("VYN.EXE"));
  EXPECT_FALSE(reg.DeleteValue("vyn.exe"));
  EXPECT_TRUE(reg.KeyExists("\\Software\\Feature"));  // deleting a value keeps its key

  reg.CloseKey();
  EXPECT_TRUE(reg.DeleteKey("software\\FEATURE\\sub"));
  EXPECT_FALSE(reg.KeyExists("Software\\Feature\\Sub\\Deep"));
  EXPECT_FALSE(reg.DeleteKey("Software\\Feature\\Sub"));
  EXPECT_TRUE(reg.KeyExists("Software\\Feature"));
  EXPECT_TRUE(reg.DeleteKey("Software"));
  EXPECT_FALSE(reg.KeyExists("Software"));
}

TEST_F(Registry, WindowsExportAsHiveFileReadsAndSurvivesAWrite) {
  std::filesystem::copy_file(std::string(VYN_TEST_FIXTURE_DIR) + "/registry/windows_export.reg", UserHive());
  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Vyn Test", false));
  EXPECT_EQ(reg.ReadString("HomePage"), "https://exemple.fr/accueil");
  EXPECT_EQ(reg.ReadString("Etendu"), "%TEMP%\\é");
  EXPECT_EQ(reg.ReadInteger("Compteur"), 10);
  EXPECT_EQ(reg.ReadInteger("Negatif"), -1);

  reg.WriteInteger("Compteur", 11);  // rewritten as UTF-8 text, nothing else changes
  const auto before = ParseRegistryExport(test::ReadFileText(std::string(VYN_TEST_FIXTURE_DIR) +
                                                             "/registry/windows_export.reg"),
                                          "fixture", THiveRoot::HKEY_CURRENT_USER);
  auto after = ParseRegistryExport(test::ReadFileText(UserHive()), UserHive(), THiveRoot::HKEY_CURRENT_USER);
  ASSERT_EQ(after.size(), before.size());
  ASSERT_EQ(after[0].Values.size(), before[0].Values.size());
  for (size_t i = 0; i < before[0].Values.size(); ++i) {
    EXPECT_EQ(after[0].Values[i].Name, before[0].Values[i].Name);
    if (before[0].Values[i].Name != "Compteur") {
      EXPECT_EQ(after[0].Values[i].Data, before[0].Values[i].Data);
    }
  }
  EXPECT_EQ(reg.ReadInteger("compteur"), 11);
}

}  // namespace
}  // namespace vyn
