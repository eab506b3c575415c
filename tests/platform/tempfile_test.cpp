#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <mutex>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/TempFile.h"

namespace vyn {
namespace {

using test::TestRoot;

TEST(TempFile, NameShapeAndNewEmptyPrivateFile) {
  struct TCase {
    const char* Prefix;
    const char* Lead;
  };
  const TCase cases[] = {{"vynupdate", "vyn"}, {"ab", "ab"}, {"", ""}, {"été", "été"},
                         {"éàüx", "éàü"}};
  for (const TCase& c : cases) {
    const std::string name = GetTempFileName(TestRoot(), c.Prefix);
    ASSERT_FALSE(name.empty()) << c.Prefix;
    const std::string expectedStart = TestRoot() + "/" + c.Lead;
    ASSERT_EQ(name.compare(0, expectedStart.size(), expectedStart), 0) << name;
    EXPECT_TRUE(std::regex_match(name.substr(expectedStart.size()),
                                 std::regex("[0-9A-F]{4}\\.tmp")))
        << name;
    struct stat info {};
    ASSERT_EQ(stat(name.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_size, 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
  }
  EXPECT_EQ(GetTempFileName(TestRoot() + "/", "x").find("//"), std::string::npos);
}

TEST(TempFile, KeepFalseRemovesAndSystemFolderIsUsed) {
  const std::string name = GetTempFile("vyn", false);
  ASSERT_FALSE(name.empty());
  EXPECT_EQ(name.rfind(SystemTempDir() + "/vyn", 0), 0u) << name;
  EXPECT_FALSE(FileExists(name));
  const std::string kept = GetTempFile("vyn", true);
  EXPECT_TRUE(FileExists(kept));
}

TEST(TempFile, NoFileGivesEmptyName) {
  EXPECT_EQ(GetTempFileName(TestRoot() + "/missing", "vyn"), "");
  test::WriteFileText(TestRoot() + "/plain", "");
  EXPECT_EQ(GetTempFileName(TestRoot() + "/plain", "vyn"), "");  // not a folder
  EXPECT_EQ(GetTempFileName("", "vyn"), "");
  EXPECT_EQ(GetTempFileName(TestRoot(), "a/b"), "");
  if (geteuid() != 0) {
    const std::string locked = TestRoot() + "/locked";
    ASSERT_TRUE(ForceDirectories(locked));
    ASSERT_EQ(chmod(locked.c_str(), 0500), 0);
    EXPECT_EQ(GetTempFileName(locked, "vyn"), "");
  }
}

TEST(TempFile, ConcurrentCallersGetDistinctFiles) {
  constexpr int kThreads = 8;
  constexpr int kPerThread = 300;
  std::mutex guard;
  std::set<std::string> names;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < kPerThread; ++i) {
        const std::string name = GetTempFileName(TestRoot(), "thr");
        std::lock_guard<std::mutex> lock(guard);
        names.insert(name);
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(names.count(""), 0u);
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kThreads * kPerThread));
}

TEST(TempFile, FullFolderGivesUpAfterEveryName) {
  const std::string folder = TestRoot() + "/full";
  ASSERT_TRUE(ForceDirectories(folder));
  char name[32];
  for (unsigned number = 1; number <= 0xFFFF; ++number) {
    std::snprintf(name, sizeof name, "/f%04X.tmp", number);
    test::WriteFileText(folder + name, "");
  }
  EXPECT_EQ(GetTempFileName(folder, "f"), "");
  EXPECT_FALSE(GetTempFileName(folder, "g").empty());  // another prefix has room
  ASSERT_EQ(unlink((folder + "/f1234.tmp").c_str()), 0);
  EXPECT_EQ(GetTempFileName(folder, "f"), folder + "/f1234.tmp");  // the one free name
}

}  // namespace
}  // namespace vyn
