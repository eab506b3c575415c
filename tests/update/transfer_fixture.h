#pragma once
// What the transfer tests share: an engine with a scripted user interface, a target folder,
// and checks on the staging folder and the messages.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "EngineProbe.h"
#include "ScriptedUserInterface.h"
#include "TestEnvironment.h"

namespace vyn::test {

class TTransferTest : public ::testing::Test {
protected:
  void SetUp() override {
    FTarget = TestRoot() + "/target/";
    std::filesystem::create_directories(FTarget);
    FEngine.SetUserInterface(&FUi);
    FEngine.OnFileDownloaded = [this](TVudIvazoz&, const std::string& name) {
      FDownloaded.push_back(name);
    };
  }

  // Files left in the staging folder (the test user's own folder in the test's TMPDIR).
  int StagingFiles() const {
    int n = 0;
    for (const auto& entry : std::filesystem::directory_iterator(FEngine.WinTempDir())) {
      (void)entry;
      ++n;
    }
    return n;
  }

  static unsigned Mode(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st.st_mode & 07777;
  }

  // Every message text joined, to look for what must never be shown.
  std::string AllMessageTexts() const {
    std::string all;
    for (const auto& m : FEngine.Messages) all += m.Text + "\n";
    return all;
  }

  void ExpectMessage(int id, const std::string& text, int status, int error) const {
    const TStatusRecord* m = FEngine.FindMessage(id);
    ASSERT_NE(m, nullptr) << "no message " << id;
    EXPECT_EQ(m->Text, text) << id;
    EXPECT_EQ(m->Status, status) << id;
    EXPECT_EQ(m->Error, error) << id;
  }

  // First, so everything below lives in this case's own folders.
  TIsolatedEnvironment FEnvironment;
  TEngineProbe FEngine;
  TScriptedUserInterface FUi;
  std::string FTarget;
  std::vector<std::string> FDownloaded;
};

inline std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 131) ^ (i >> 9));
  return s;
}

}  // namespace vyn::test
