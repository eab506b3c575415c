#pragma once
// dezaziz.exe run as the engine starts it: from the staging folder, in the application's
// folder, with the documents folder and the log of the case's own.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/Process.h"

namespace vyn::test {

inline std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t nl; (nl = text.find('\n', start)) != std::string::npos; start = nl + 1)
    lines.push_back(text.substr(start, nl - start));
  return lines;
}

// The text of a file once it has some, waiting up to five seconds for it.
inline std::string AwaitFileText(const std::string& path) {
  std::string text;
  for (int i = 0; i < 500 && (text = ReadFileText(path)).empty(); ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return text;
}

class TDezazizFixture : public ::testing::Test {
protected:
  void SetUp() override {
    const std::string root = std::filesystem::canonical(TestRoot()).string();
    FApp = root + "/app";
    FStaging = root + "/staging/";
    std::filesystem::create_directories(FApp);
    ASSERT_EQ(mkdir(FStaging.c_str(), 0700), 0);
    std::filesystem::copy_file(VYN_DEZAZIZ_PATH, FStaging + "dezaziz.exe");
    FDocs = DocumentsDir();
  }

  // The pid of a process that has ended.
  static std::string EndedPid() {
    const TProcessResult done = StartProcess({"/bin/true"}, true);
    return std::to_string(done.Pid);
  }

  TProcessResult Start(const std::vector<std::string>& arguments) {
    std::vector<std::string> argv{FStaging + "dezaziz.exe"};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    return SpawnChild(argv, -1, FApp);
  }
  // Runs the updater to its end; its exit code.
  int Run(const std::vector<std::string>& arguments) {
    const TProcessResult started = Start(arguments);
    EXPECT_TRUE(started.Started);
    int exitCode = -1;
    EXPECT_TRUE(started.Started && CollectChild(started.Pid, 60000, exitCode));
    return exitCode;
  }
  // The command line of an apply of the components with the given logging flag and no restart.
  std::vector<std::string> ApplyArguments(const std::vector<std::string>& components,
                                          const std::string& logging = "L",
                                          const std::string& restart = "null") const {
    std::vector<std::string> arguments{EndedPid(), logging, restart, " ", FStaging};
    arguments.insert(arguments.end(), components.begin(), components.end());
    return arguments;
  }
  void Apply(const std::vector<std::string>& components, const std::string& logging = "L") {
    Run(ApplyArguments(components, logging));
  }
  // An apply with a log of its own: the messages after its three start lines.
  std::vector<std::string> ApplyLogged(const std::vector<std::string>& components) {
    std::filesystem::remove(Log());
    Apply(components);
    return ComponentMessages();
  }

  void Stage(const std::string& name, const std::string& data, mode_t mode = 0644) {
    WriteFileText(FStaging + name, data);
    chmod((FStaging + name).c_str(), mode);
  }

  // The messages of the log; every line must have the log's format.
  std::vector<std::string> LogMessages(const std::string& path = "") const {
    static const std::regex line(R"(^\d\d/\d\d/\d{4} \d\d:\d\d:\d\d : \[000\] (.*)\r$)");
    std::vector<std::string> messages;
    for (const std::string& text : Lines(ReadFileText(path.empty() ? Log() : path))) {
      std::smatch match;
      EXPECT_TRUE(std::regex_match(text, match, line)) << text;
      messages.push_back(match[1]);
    }
    return messages;
  }
  // The messages after the three start lines.
  std::vector<std::string> ComponentMessages() const {
    std::vector<std::string> messages = LogMessages();
    EXPECT_GE(messages.size(), 3u);
    messages.erase(messages.begin(), messages.begin() + std::min<size_t>(3, messages.size()));
    return messages;
  }
  std::string Log() const { return FDocs + "/WUPDATE.LOG"; }
  std::string Journal() const { return FStaging + "dezaziz.journal"; }

  static mode_t Mode(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
  }

  TIsolatedEnvironment FEnvironment;
  std::string FApp;      // the application's folder: the updater's current directory
  std::string FStaging;  // with its trailing '/'
  std::string FDocs;
};

}  // namespace vyn::test
