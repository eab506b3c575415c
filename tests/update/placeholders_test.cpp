// Directory placeholders of control-file paths.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/PrivateTempDir.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

TEST(ConvertPrefixTest, EveryNameAndItsFolder) {
  TVudIvazoz engine;
  unsetenv("ProgramFiles");
  const std::string tmp = PrivateTempDir();
  struct TCase {
    const char* Name;
    std::string Expected;
  } cases[] = {
      {"WIN", "/usr"},
      {"SYS", "/usr/lib"},
      {"APP", ExeDir()},
      {"TMP", tmp},  // without its trailing separator
      {"DOC", NormalizeDirectory(DocumentsDir())},
      {"LAD", NormalizeDirectory(LocalAppDataDir())},
      {"APPDATA", "/var/lib"},
      {"PF", "."},  // unset: empty, which becomes the current folder
      {"FOO", "."},
      {"app", "."},  // callers pass upper case
  };
  for (const auto& c : cases) EXPECT_EQ(engine.ConvertPrefix(c.Name), c.Expected) << c.Name;
  EXPECT_EQ(tmp.back() == '/', false);

  setenv("ProgramFiles", "/", 1);
  EXPECT_EQ(engine.ConvertPrefix("PF"), "/.");
  setenv("ProgramFiles", "/opt/programs/", 1);
  EXPECT_EQ(engine.ConvertPrefix("PF"), "/opt/programs");
  unsetenv("ProgramFiles");
}

TEST(ConvertPrefixTest, TmpFollowsTheStagingFolder) {
  TVudIvazoz engine;
  engine.UseWinTempDir = false;
  engine.TempDirectory = "/srv/stage/";
  EXPECT_EQ(engine.ConvertPrefix("TMP"), "/srv/stage");
  EXPECT_EQ(engine.WinTempDir(), "/srv/stage/");
  engine.TempDirectory = "";
  EXPECT_EQ(engine.WinTempDir(), "");
  engine.UseWinTempDir = true;
  EXPECT_EQ(engine.WinTempDir(), SystemTempDir() + "/vynupdate-" + std::to_string(geteuid()) + "/");
}

TEST(ExpandPlaceholdersTest, ScanRules) {
  TVudIvazoz engine;
  setenv("ProgramFiles", "/opt/pf", 1);
  const std::string app = ExeDir();
  struct TCase {
    const char* Path;
    std::string Expected;
  } cases[] = {
      {"{APP}\\x.exe", app + "\\x.exe"},
      {"{app}\\x.exe", app + "\\x.exe"},
      {"{FOO}\\x.exe", ".\\x.exe"},
      {"{{APP}", "."},  // a second brace does not restart the name
      {"abc{APP", "abc{APP"},
      {"a}b{PF}c{WIN}d", "a}b/opt/pfc/usrd"},
      {"http://host/{PF}/f?x={SYS}", "http://host//opt/pf/f?x=/usr/lib"},
      {"{}", "."},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(engine.ExpandPlaceholders(c.Path), c.Expected) << c.Path;
  unsetenv("ProgramFiles");
}

TEST(ExpandPlaceholdersTest, InsertedFolderIsScannedAgainButEnds) {
  TVudIvazoz engine;
  setenv("ProgramFiles", "/x{WIN}", 1);
  EXPECT_EQ(engine.ExpandPlaceholders("{PF}/a"), "/x/usr/a");
  setenv("ProgramFiles", "/x{PF}", 1);  // names itself: must not grow for ever
  const std::string result = engine.ExpandPlaceholders("{PF}/a");
  EXPECT_LT(result.size(), 2000u);
  unsetenv("ProgramFiles");
}

TEST(ExpandPlaceholdersTest, OnConvertPrefixRewritesFirst) {
  TVudIvazoz engine;
  std::string seen;
  engine.OnConvertPrefix = [&](TVudIvazoz&, std::string& path) {
    seen = path;
    path = "{WIN}/rewritten";
  };
  EXPECT_EQ(engine.ExpandPlaceholders("{APP}/x"), "/usr/rewritten");
  EXPECT_EQ(seen, "{APP}/x");
}

}  // namespace
}  // namespace vyn
