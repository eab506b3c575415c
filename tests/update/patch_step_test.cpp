// The engine's patch step with the real patch tool in the application's folder.

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/patcher/PatchFixtures.h"
#include "transfer_fixture.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::WriteFileText;

class PatchStep : public test::TTransferTest {
protected:
  void SetUp() override {
    TTransferTest::SetUp();
    FApp = test::TestRoot() + "/app/";
    fs::create_directories(FApp);
    FPrevious = fs::current_path();
    fs::current_path(FApp);
    fs::copy_file(VYN_PATCHER_PATH, FApp + "patcher.exe");
    fs::permissions(FApp + "patcher.exe", fs::perms::owner_all);
  }
  void TearDown() override { fs::current_path(FPrevious); }

  std::string FApp;
  fs::path FPrevious;
};

TEST_F(PatchStep, ADownloadedPatchTurnsTheInstalledFileIntoTheNewVersion) {
  const std::string work = test::TestRoot() + "/work/";
  fs::create_directories(work);
  const std::string oldVersion = test::RandomBytes(128 * 1024, 3);
  const std::string newVersion = test::Edited(oldVersion);
  WriteFileText(work + "old", oldVersion);
  WriteFileText(work + "new", newVersion);
  const test::TProgramRun made = test::RunProgram(
      VYN_VYNUPDATE_PATH, {"make-patch", work + "old", work + "new", work + "app.PAT"});
  ASSERT_EQ(made.Exit, 0) << made.Err;

  FEngine.ApplyPatch = true;
  const std::string installed = FTarget + "app.bin";
  const std::string staging = FEngine.WinTempDir();
  for (const bool logging : {false, true}) {
    SCOPED_TRACE(logging ? "with logging" : "without logging");
    FEngine.Logging = logging;
    WriteFileText(installed, oldVersion);
    fs::copy_file(work + "app.PAT", staging + "app.PAT", fs::copy_options::overwrite_existing);
    FEngine.PostProcessDownload("app.PAT", staging, FTarget, false, installed);

    EXPECT_TRUE(ReadFileText(installed) == newVersion);
    EXPECT_FALSE(fs::exists(staging + "app.PAT"));
    EXPECT_EQ(test::Names(FTarget), (std::vector<std::string>{"app.bin"}));
    if (logging)
      EXPECT_NE(ReadFileText(FApp + "WUPDATE.LOG").find("patcher.exe: patched " + installed),
                std::string::npos);
    else
      EXPECT_FALSE(fs::exists(FApp + "WUPDATE.LOG"));
  }
}

}  // namespace
}  // namespace vyn
