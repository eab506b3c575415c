// The user's own staging folder inside the shared system temporary folder.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/PrivateTempDir.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::TestRoot;

std::string UsualName() { return SystemTempDir() + "/vynupdate-" + std::to_string(geteuid()); }

unsigned Mode(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

TEST(PrivateTempDir, MadeOnceAndClosedToOthers) {
  test::TIsolatedEnvironment environment;
  const std::string folder = PrivateTempDir();
  EXPECT_EQ(folder, UsualName());
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(Mode(folder), 0700u);
  test::WriteFileText(folder + "/kept", "x");
  EXPECT_EQ(PrivateTempDir(), folder);
  EXPECT_TRUE(fs::exists(folder + "/kept"));
}

// Whatever another user put there first under the usual name is left alone and never used.
TEST(PrivateTempDir, ANameTakenFirstIsNeverUsed) {
  const bool root = geteuid() == 0;
  using TPlant = std::function<void(const std::string& name, const std::string& elsewhere)>;
  const auto link = [](uid_t owner) -> TPlant {
    return [owner](const std::string& name, const std::string& elsewhere) {
      fs::create_directories(elsewhere);
      chmod(elsewhere.c_str(), 0700);
      fs::create_directory_symlink(elsewhere, name);
      lchown(name.c_str(), owner, owner);
    };
  };
  const auto folder = [](uid_t owner, mode_t mode) -> TPlant {
    return [owner, mode](const std::string& name, const std::string&) {
      fs::create_directories(name);
      chmod(name.c_str(), mode);
      chown(name.c_str(), owner, owner);
    };
  };
  constexpr uid_t KOther = 42002;
  struct TCase {
    const char* What;
    TPlant Plant;
    bool NeedsRoot;
  } cases[] = {
      {"link to a folder of ours", link(geteuid()), false},
      {"another user's link", link(KOther), true},
      {"a file", [](const std::string& name, const std::string&) { test::WriteFileText(name, "x"); },
       false},
      {"another user's folder open to all", folder(KOther, 0777), true},
      {"another user's closed folder", folder(KOther, 0700), true},
      {"a folder of ours open to others", folder(geteuid(), 0777), false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.What);
    if (c.NeedsRoot && !root) continue;
    test::TIsolatedEnvironment environment;
    // A shared temporary folder: sticky and open to all.
    chmod(SystemTempDir().c_str(), 01777);
    const std::string name = UsualName();
    const std::string elsewhere = TestRoot() + "/elsewhere";
    c.Plant(name, elsewhere);
    const unsigned plantedMode = Mode(name);

    const std::string made = PrivateTempDir();
    ASSERT_FALSE(made.empty());
    EXPECT_NE(made, name);
    EXPECT_EQ(made.rfind(name + "-", 0), 0u) << made;
    EXPECT_TRUE(IsPrivateFolder(made));
    EXPECT_EQ(PrivateTempDir(), made);  // the same folder for the rest of the process
    EXPECT_EQ(Mode(name), plantedMode);
    if (fs::exists(elsewhere)) {
      EXPECT_TRUE(fs::is_empty(elsewhere));
    }
  }
}

TEST(PrivateTempDir, NoneWhenTheSystemFolderIsMissing) {
  test::TIsolatedEnvironment environment;
  setenv("TMPDIR", (TestRoot() + "/absent").c_str(), 1);
  EXPECT_EQ(PrivateTempDir(), "");
}

}  // namespace
}  // namespace vyn
