// The hive file shared between processes: concurrent writers lose nothing, and a writer that
// dies before its rename leaves the previous file whole and the lock free.

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/Registry.h"

extern char** environ;

namespace vyn {
namespace {

pid_t StartWriter(int count, const std::string& prefix) {
  const std::string program = std::string(VYN_TEST_HELPER_DIR) + "/registry_writer";
  const std::string countText = std::to_string(count);
  char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(countText.c_str()),
                  const_cast<char*>(prefix.c_str()), nullptr};
  pid_t pid = -1;
  EXPECT_EQ(posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ), 0);
  return pid;
}

int WaitStatus(pid_t pid, int options = 0) {
  int status = 0;
  EXPECT_EQ(waitpid(pid, &status, options), pid);
  return status;
}

int Temporaries(const std::string& hive) {
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(hive).parent_path())) {
    const std::string name = entry.path().filename().string();
    count += name.rfind("HKEY_CURRENT_USER.reg.", 0) == 0 && name != "HKEY_CURRENT_USER.reg.lock";
  }
  return count;
}

TEST(RegistryStore, TwoProcessesWritingAtOnceLoseNothing) {
  const pid_t first = StartWriter(500, "first");
  const pid_t second = StartWriter(500, "second");
  const int firstStatus = WaitStatus(first);
  const int secondStatus = WaitStatus(second);
  ASSERT_TRUE(WIFEXITED(firstStatus) && WEXITSTATUS(firstStatus) == 0);
  ASSERT_TRUE(WIFEXITED(secondStatus) && WEXITSTATUS(secondStatus) == 0);

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\Shared"));
  EXPECT_EQ(reg.GetValueNames().size(), 1000u);
  for (int i = 0; i < 500; ++i) {
    ASSERT_EQ(reg.ReadInteger("first" + std::to_string(i)), i);
    ASSERT_EQ(reg.ReadInteger("second" + std::to_string(i)), i);
  }
}

TEST(RegistryStore, WriterKilledBeforeRenameLeavesThePreviousFile) {
  {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Shared", true));
    reg.WriteString("Before", "intact");
  }
  const std::string hive = HiveFilePath(THiveRoot::HKEY_CURRENT_USER);
  const std::string previous = test::ReadFileText(hive);

  setenv("VYN_REGISTRY_TEST_PAUSE_BEFORE_RENAME", "1", 1);
  const pid_t writer = StartWriter(1, "lost");
  unsetenv("VYN_REGISTRY_TEST_PAUSE_BEFORE_RENAME");
  const int stopped = WaitStatus(writer, WUNTRACED);
  ASSERT_TRUE(WIFSTOPPED(stopped));

  // Its flushed temporary file is there beside the untouched hive.
  EXPECT_EQ(Temporaries(hive), 1);
  EXPECT_EQ(test::ReadFileText(hive), previous);

  ASSERT_EQ(kill(writer, SIGKILL), 0);
  const int killed = WaitStatus(writer);
  ASSERT_TRUE(WIFSIGNALED(killed));

  TRegistry reg;
  ASSERT_TRUE(reg.OpenKey("Software\\Shared", false));
  EXPECT_EQ(reg.ReadString("Before"), "intact");
  EXPECT_FALSE(reg.ValueExists("lost0"));

  // The kernel released the dead writer's lock: the next writer gets through.
  const int next = WaitStatus(StartWriter(3, "next"));
  ASSERT_TRUE(WIFEXITED(next) && WEXITSTATUS(next) == 0);
  EXPECT_EQ(reg.ReadInteger("next2"), 2);
  EXPECT_EQ(reg.ReadString("Before"), "intact");
  EXPECT_EQ(Temporaries(hive), 0);  // the dead writer's temporary file is cleared away
}

}  // namespace
}  // namespace vyn
