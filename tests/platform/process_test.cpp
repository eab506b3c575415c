#include "platform/Process.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

#include "TestEnvironment.h"

namespace {

using vyn::SplitCommandLine;
using vyn::StartProcess;
using vyn::WaitForProcessEnd;
using Args = std::vector<std::string>;

const std::string kHelper = std::string(VYN_TEST_HELPER_DIR) + "/process_helper";

struct TSplitCase {
  const char* CommandLine;
  Args Expected;
};

TEST(SplitCommandLine, FollowsTheUpdaterRule) {
  const TSplitCase cases[] = {
      {"", {}},
      {"   \t ", {}},
      {"a b  c", {"a", "b", "c"}},
      {"  lead trail  ", {"lead", "trail"}},
      {"a\tb\nc", {"a", "b", "c"}},                       // every control character separates
      {"1234 L prog \" \" \"C:\\Temp\\\" x.exe",
       {"1234", "L", "prog", " ", "C:\\Temp\\", "x.exe"}},  // quoted space; backslash is plain
      {"\"C:\\Program Files\\App\\\"", {"C:\\Program Files\\App\\"}},
      {"\"\" a", {"a"}},                                 // empty quotes at the start vanish
      {"\"\"\"\"b", {"b"}},                              // each pair is skipped
      {"a \"\" b", {"a", "b"}},
      {"a\"\"b", {"ab"}},                                // inside an argument they are dropped
      {"pre\"fix text\"post next", {"prefix textpost", "next"}},
      {"\"unterminated text", {"unterminated text"}},
      {"C:\\dir\\ \"a\\\"", {"C:\\dir\\", "a\\"}},
      {"caf\xc3\xa9 x", {"caf\xc3\xa9", "x"}},             // bytes above 127 are not separators
  };
  for (const TSplitCase& c : cases)
    EXPECT_EQ(SplitCommandLine(c.CommandLine), c.Expected) << "command line: [" << c.CommandLine << "]";
}

TEST(StartProcess, WaitedExitCodes) {
  EXPECT_EQ(StartProcess({kHelper, "exit", "0"}, true).ExitCode, 0);
  EXPECT_EQ(StartProcess({kHelper, "exit", "3"}, true).ExitCode, 3);
  EXPECT_EQ(vyn::StartCommandLine(kHelper + " exit 7", true).ExitCode, 7);

  // An ignored signal in the parent must not stay ignored in the child.
  auto previous = signal(SIGTERM, SIG_IGN);
  vyn::TProcessResult killed = StartProcess({kHelper, "signal", std::to_string(SIGTERM)}, true);
  signal(SIGTERM, previous);
  EXPECT_TRUE(killed.Started);
  EXPECT_EQ(killed.ExitCode, 128 + SIGTERM);
}

TEST(StartProcess, SearchesPath) {
  vyn::TProcessResult result = StartProcess({"true"}, true);
  EXPECT_TRUE(result.Started);
  EXPECT_GT(result.Pid, 0);
  EXPECT_EQ(result.ExitCode, 0);
  EXPECT_EQ(StartProcess({"false"}, true).ExitCode, 1);
}

TEST(StartProcess, MissingProgramIsNotStarted) {
  for (const Args& argv : {Args{"vyn-no-such-program-here"}, Args{"/nonexistent/dir/program"},
                           Args{"./no-such-program"}, Args{""}, Args{}}) {
    vyn::TProcessResult result = StartProcess(argv, true);
    EXPECT_FALSE(result.Started) << (argv.empty() ? "(empty)" : argv[0]);
    EXPECT_EQ(result.Error, ENOENT);
    EXPECT_EQ(result.Pid, -1);
  }
  const std::string plain = vyn::test::TestRoot() + "/not-executable";
  vyn::test::WriteFileText(plain, "data");
  vyn::TProcessResult result = StartProcess({plain}, true);
  EXPECT_FALSE(result.Started);
  EXPECT_EQ(result.Error, EACCES);
}

TEST(StartProcess, HonoursWorkDir) {
  const std::string dir = vyn::test::TestRoot() + "/work dir";
  ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
  const std::string out = vyn::test::TestRoot() + "/cwd.txt";
  vyn::TProcessResult result = StartProcess({kHelper, "cwd", out}, true, dir);
  ASSERT_TRUE(result.Started);
  EXPECT_EQ(result.ExitCode, 0);
  char real[PATH_MAX];
  ASSERT_TRUE(realpath(dir.c_str(), real));
  EXPECT_EQ(vyn::test::ReadFileText(out), real);

  // A relative program path is still taken from the caller's directory.
  ASSERT_EQ(chdir(VYN_TEST_HELPER_DIR), 0);
  EXPECT_EQ(StartProcess({"./process_helper", "exit", "4"}, true, dir).ExitCode, 4);

  vyn::TProcessResult missing = StartProcess({kHelper, "exit", "0"}, true, dir + "/missing");
  EXPECT_FALSE(missing.Started);
  EXPECT_NE(missing.Error, 0);
}

TEST(WaitForProcessEnd, EndedOrInvalidProcessReturnsAtOnce) {
  vyn::TProcessResult result = StartProcess({kHelper, "exit", "0"}, true);
  ASSERT_TRUE(result.Started);
  auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(WaitForProcessEnd(result.Pid, 5000));
  EXPECT_TRUE(WaitForProcessEnd(0));
  EXPECT_TRUE(WaitForProcessEnd(-1));
  EXPECT_TRUE(vyn::detail::PollForProcessEnd(result.Pid, 5000));
  EXPECT_TRUE(vyn::detail::PollForProcessEnd(-1, 5000));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}

// A child that is not waited for ends as a zombie first: neither way of waiting may take that
// for a running process.
TEST(WaitForProcessEnd, UnwaitedChildEnds) {
  for (bool polling : {false, true}) {
    vyn::TProcessResult result = StartProcess({kHelper, "exit", "0"}, false);
    ASSERT_TRUE(result.Started);
    EXPECT_TRUE(polling ? vyn::detail::PollForProcessEnd(result.Pid, 10000)
                        : WaitForProcessEnd(result.Pid, 10000));
  }
}

TEST(WaitForProcessEnd, TimesOutWhileRunning) {
  const std::string marker = vyn::test::TestRoot() + "/release";
  vyn::TProcessResult sleeper = StartProcess({kHelper, "wait-file", marker}, false);
  ASSERT_TRUE(sleeper.Started);
  EXPECT_FALSE(WaitForProcessEnd(sleeper.Pid, 100));
  EXPECT_FALSE(WaitForProcessEnd(sleeper.Pid, 0));
  EXPECT_FALSE(vyn::detail::PollForProcessEnd(sleeper.Pid, 120));
  vyn::test::WriteFileText(marker, "");
  EXPECT_TRUE(WaitForProcessEnd(sleeper.Pid, 10000));
}

// The updater waits for its parent, which is not its child: a second helper waits here for a
// sibling and must end only after the sibling has.
TEST(WaitForProcessEnd, WaitsForANonChild) {
  for (const char* mode : {"wait-pid", "poll-pid"}) {
    const std::string marker = vyn::test::TestRoot() + "/release-" + mode;
    vyn::TProcessResult sleeper = StartProcess({kHelper, "wait-file", marker}, false);
    ASSERT_TRUE(sleeper.Started);
    vyn::TProcessResult waiter =
        StartProcess({kHelper, mode, std::to_string(sleeper.Pid)}, false);
    ASSERT_TRUE(waiter.Started);
    EXPECT_FALSE(WaitForProcessEnd(waiter.Pid, 400)) << mode << " ended before the sibling";
    vyn::test::WriteFileText(marker, "");
    EXPECT_TRUE(WaitForProcessEnd(waiter.Pid, 10000)) << mode;
    EXPECT_TRUE(WaitForProcessEnd(sleeper.Pid, 0));
  }
}

TEST(OpenWithDesktop, EmptyTargetIsRefused) {
  EXPECT_FALSE(vyn::OpenWithDesktop(""));
}

}  // namespace
