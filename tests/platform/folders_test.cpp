#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "TestEnvironment.h"
#include "platform/Folders.h"

namespace vyn {
namespace {

using test::TestRoot;
using test::WriteFileText;

std::string Home() { return TestRoot() + "/home"; }

TEST(Folders, NormalizeDirectory) {
  struct TCase {
    const char* Folder;
    const char* Expected;
  };
  const TCase cases[] = {
      {"/usr", "/usr"}, {"/usr/", "/usr"}, {"/usr//", "/usr"}, {"/", "/."},
      {"//", "/."},     {"", "."},         {".", "."},         {"rel/dir/", "rel/dir"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(NormalizeDirectory(c.Folder), c.Expected) << "'" << c.Folder << "'";
}

TEST(Folders, PathHelpers) {
  EXPECT_EQ(ToLocalSeparators("{APP}\\data\\x.dll"), "{APP}/data/x.dll");
  EXPECT_EQ(IncludeTrailingSlash("/a"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash("/a/"), "/a/");
  EXPECT_EQ(IncludeTrailingSlash(""), "");

  const std::string nested = TestRoot() + "/one/two/three/";
  EXPECT_TRUE(ForceDirectories(nested));
  EXPECT_TRUE(DirectoryExists(nested));
  EXPECT_TRUE(ForceDirectories(nested));  // already there
  WriteFileText(TestRoot() + "/one/file", "x");
  EXPECT_TRUE(FileExists(TestRoot() + "/one/file"));
  EXPECT_FALSE(FileExists(TestRoot() + "/one"));
  EXPECT_FALSE(DirectoryExists(TestRoot() + "/one/file"));
  EXPECT_FALSE(ForceDirectories(TestRoot() + "/one/file/below"));
  EXPECT_FALSE(FileExists(""));
}

TEST(Folders, ExecutableAndCurrentFolder) {
  const std::string path = ExePath();
  ASSERT_FALSE(path.empty());
  EXPECT_EQ(path[0], '/');
  EXPECT_EQ(ExeFileName(), "platform_folders_test");
  EXPECT_EQ(ExeDir() + "/" + ExeFileName(), path);
  EXPECT_TRUE(FileExists(path));

  ASSERT_EQ(chdir(TestRoot().c_str()), 0);
  char* real = realpath(TestRoot().c_str(), nullptr);
  EXPECT_EQ(CurrentDir(), real);
  free(real);
}

TEST(Folders, FixedAndEnvironmentFolders) {
  EXPECT_EQ(CommonAppDataDir(), "/var/lib");
  EXPECT_EQ(WindowsDir(), "/usr");
  EXPECT_EQ(SystemDir(), "/usr/lib");

  EXPECT_EQ(SystemTempDir(), TestRoot() + "/tmp");
  setenv("TMPDIR", "/some/tmp/", 1);
  EXPECT_EQ(SystemTempDir(), "/some/tmp");
  unsetenv("TMPDIR");
  EXPECT_EQ(SystemTempDir(), "/tmp");

  EXPECT_EQ(LocalAppDataDir(), TestRoot() + "/data");
  setenv("XDG_DATA_HOME", "relative/ignored", 1);
  EXPECT_EQ(LocalAppDataDir(), Home() + "/.local/share");
  unsetenv("XDG_DATA_HOME");
  EXPECT_EQ(LocalAppDataDir(), Home() + "/.local/share");

  unsetenv("ProgramFiles");
  EXPECT_EQ(ProgramFilesDir(), "");
  setenv("ProgramFiles", "/opt", 1);
  EXPECT_EQ(ProgramFilesDir(), "/opt");
}

TEST(Folders, DocumentsFromUserDirs) {
  const std::string userDirs = TestRoot() + "/config/user-dirs.dirs";
  EXPECT_EQ(DocumentsDir(), Home() + "/Documents");  // no user-dirs.dirs

  struct TCase {
    const char* Content;
    std::string Expected;
  };
  const TCase cases[] = {
      {"# comment\nXDG_DESKTOP_DIR=\"$HOME/Bureau\"\nXDG_DOCUMENTS_DIR=\"$HOME/Mes documents/\"\n",
       Home() + "/Mes documents"},
      {"XDG_DOCUMENTS_DIR=\"/srv/docs\"\n", "/srv/docs"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOME/b\"\n", Home() + "/b"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/say \\\"hi\\\"\"\n", Home() + "/say \"hi\""},
      {"XDG_DOCUMENTS_DIR=\"relative\"\n", Home() + "/Documents"},
      {"XDG_DOCUMENTS_DIR=\"$HOME/unclosed\n", Home() + "/Documents"},
      {"#XDG_DOCUMENTS_DIR=\"/commented\"\n", Home() + "/Documents"},
  };
  for (const TCase& c : cases) {
    WriteFileText(userDirs, c.Content);
    EXPECT_EQ(DocumentsDir(), c.Expected) << c.Content;
  }

  // XDG_CONFIG_HOME decides where user-dirs.dirs is; without it, ~/.config.
  ASSERT_TRUE(ForceDirectories(TestRoot() + "/other"));
  WriteFileText(TestRoot() + "/other/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Other\"\n");
  setenv("XDG_CONFIG_HOME", (TestRoot() + "/other").c_str(), 1);
  EXPECT_EQ(DocumentsDir(), Home() + "/Other");
  unsetenv("XDG_CONFIG_HOME");
  ASSERT_TRUE(ForceDirectories(Home() + "/.config"));
  WriteFileText(Home() + "/.config/user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Dot\"\n");
  EXPECT_EQ(DocumentsDir(), Home() + "/Dot");
}

TEST(Folders, FindFileNoCase) {
  const std::string folder = TestRoot() + "/staging";
  ASSERT_TRUE(ForceDirectories(folder));
  WriteFileText(folder + "/report.txt_NEW", "");
  WriteFileText(folder + "/DATA.CAB", "");
  WriteFileText(folder + "/Mixed.Dll", "");
  WriteFileText(folder + "/mixed.dll", "");

  EXPECT_EQ(FindFileNoCase(folder, "report.txt_NEW"), folder + "/report.txt_NEW");
  EXPECT_EQ(FindFileNoCase(folder, "report.txt_new"), folder + "/report.txt_NEW");
  EXPECT_EQ(FindFileNoCase(folder + "/", "data.cab"), folder + "/DATA.CAB");
  EXPECT_EQ(FindFileNoCase(folder, "mixed.dll"), folder + "/mixed.dll");  // exact wins
  EXPECT_EQ(FindFileNoCase(folder, "MIXED.DLL"), folder + "/Mixed.Dll");  // first in byte order
  EXPECT_EQ(FindFileNoCase(folder, "absent.txt"), "");
  EXPECT_EQ(FindFileNoCase(folder, ""), "");
  EXPECT_EQ(FindFileNoCase(folder + "/missing", "data.cab"), "");
  EXPECT_EQ(FindFileNoCase(TestRoot(), "STAGING/data.cab"), "");  // no folder walking

  ASSERT_EQ(chdir(folder.c_str()), 0);
  EXPECT_EQ(FindFileNoCase("", "Data.Cab"), "DATA.CAB");
}

}  // namespace
}  // namespace vyn
