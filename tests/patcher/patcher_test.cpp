// patcher.exe as the engine and the updater run it, with patches from the zstd command line and
// from vynupdate make-patch.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <functional>

#include "PatchFixtures.h"
#include "TestEnvironment.h"

namespace vyn {
namespace {

namespace fs = std::filesystem;
using test::ReadFileText;
using test::RunProgram;
using test::WriteFileText;

unsigned Mode(const std::string& path) {
  struct stat st {};
  lstat(path.c_str(), &st);
  return st.st_mode & 07777;
}

class Patcher : public ::testing::Test {
protected:
  void SetUp() override {
    FDir = FEnvironment.Root() + "/app/";
    FWork = FEnvironment.Root() + "/work/";
    fs::create_directories(FDir);
    fs::create_directories(FWork);
    FOld = test::RandomBytes(256 * 1024, 1);
    FNew = test::Edited(FOld);
    WriteFileText(FWork + "old", FOld);
    WriteFileText(FWork + "new", FNew);
  }

  // A patch from the work folder's old to new, made by vynupdate.
  std::string MakePatch() {
    const std::string patch = FWork + "fix.pat";
    const test::TProgramRun made =
        RunProgram(VYN_VYNUPDATE_PATH, {"make-patch", FWork + "old", FWork + "new", patch});
    EXPECT_EQ(made.Exit, 0) << made.Err;
    return ReadFileText(patch);
  }

  test::TIsolatedEnvironment FEnvironment;
  std::string FDir;
  std::string FWork;
  std::string FOld;
  std::string FNew;
};

TEST_F(Patcher, APatchFromTheZstdCommandLineIsApplied) {
  if (std::system("command -v zstd >/dev/null 2>&1") != 0) GTEST_SKIP() << "zstd is not installed";
  const std::string command = "zstd -q --patch-from=" + test::ShellQuote(FWork + "old") + " " +
                              test::ShellQuote(FWork + "new") + " -o " +
                              test::ShellQuote(FWork + "cli.pat");
  ASSERT_EQ(std::system(command.c_str()), 0);
  WriteFileText(FDir + "app.bin", FOld);

  const test::TProgramRun run = RunProgram(VYN_PATCHER_PATH, {FWork + "cli.pat", FDir + "app.bin"});
  EXPECT_EQ(run.Exit, 0) << run.Err;
  EXPECT_EQ(run.Out, "");
  EXPECT_TRUE(ReadFileText(FDir + "app.bin") == FNew);
  EXPECT_EQ(test::Names(FDir), (std::vector<std::string>{"app.bin"}));
}

// An executable and its next build: the updater's command line, with its redirection text.
TEST_F(Patcher, AMadePatchTurnsAnExecutableIntoItsNextBuildKeepingItsMode) {
  FOld = ReadFileText(VYN_PATCHER_PATH);
  FNew = test::Edited(FOld);
  WriteFileText(FWork + "old", FOld);
  WriteFileText(FWork + "new", FNew);
  const test::TProgramRun made = RunProgram(
      VYN_VYNUPDATE_PATH, {"make-patch", FWork + "old", FWork + "new", FWork + "fix.pat"});
  ASSERT_EQ(made.Exit, 0) << made.Err;
  const uintmax_t patchSize = fs::file_size(FWork + "fix.pat");
  EXPECT_EQ(made.Out, "old " + std::to_string(FOld.size()) + " bytes, new " +
                          std::to_string(FNew.size()) + " bytes, patch " +
                          std::to_string(patchSize) + " bytes\n");
  EXPECT_LT(patchSize, FNew.size() / 20);
  EXPECT_EQ(test::Names(FWork), (std::vector<std::string>{"fix.pat", "new", "old"}));

  for (const unsigned mode : {0755u, 0640u}) {
    SCOPED_TRACE(mode);
    const std::string target = FDir + "app.EXE";
    WriteFileText(target, FOld);
    fs::permissions(target, static_cast<fs::perms>(mode));
    const test::TProgramRun run =
        RunProgram(VYN_PATCHER_PATH, {"-v", FWork + "fix.pat", target, ">>WUPDATELOG"});
    EXPECT_EQ(run.Exit, 0) << run.Err;
    EXPECT_TRUE(ReadFileText(target) == FNew);
    EXPECT_EQ(Mode(target), mode);
    EXPECT_EQ(run.Out, "patcher.exe: patched " + target + " with " + FWork + "fix.pat: " +
                           std::to_string(FOld.size()) + " bytes before, patch " +
                           std::to_string(patchSize) + " bytes, " +
                           std::to_string(FNew.size()) + " bytes after\n");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(test::Names(FDir), (std::vector<std::string>{"app.EXE"}));
  }
}

TEST_F(Patcher, AnyFailureLeavesTheTargetAsItWas) {
  const std::string patch = MakePatch();
  const std::string target = FDir + "app.bin";
  const std::string patchFile = FWork + "case.pat";
  const std::string other = FWork + "other";
  struct TCase {
    const char* Name;
    std::function<void()> Prepare;  // after the target holds the old file and case.pat the patch
    std::vector<std::string> Args;
    const char* Message;  // part of what standard error says
  };
  auto writePatch = [&](const std::string& bytes) { return [=] { WriteFileText(patchFile, bytes); }; };
  std::string flipped = patch;
  flipped[flipped.size() - 1] = static_cast<char>(~flipped.back());
  std::string damaged = patch;
  damaged[damaged.size() / 2] = static_cast<char>(~damaged[damaged.size() / 2]);
  // A frame header that declares 3 GiB of content in one segment: a window of 3 GiB.
  std::string huge("\x28\xB5\x2F\xFD\xE4", 5);
  for (int i = 0; i < 8; ++i) huge += static_cast<char>((uint64_t{3} << 30) >> (8 * i));
  huge += std::string(16, '\0');
  const std::vector<std::string> normal = {patchFile, target};

  const TCase cases[] = {
      {"wrong reference", [&] { WriteFileText(target, test::RandomBytes(FOld.size(), 9)); },
       normal, "not patched"},
      {"truncated patch", writePatch(patch.substr(0, patch.size() / 2)), normal, "truncated"},
      {"checksum missing", writePatch(patch.substr(0, patch.size() - 4)), normal, "truncated"},
      {"flipped checksum byte", writePatch(flipped), normal, "checksum does not match"},
      {"flipped byte inside", writePatch(damaged), normal, "not patched"},
      {"two frames", writePatch(patch + patch), normal, "data after its end"},
      {"not zstd", writePatch("MZ this is not a patch at all"), normal, "not a zstd patch"},
      {"empty patch", writePatch(""), normal, "not a zstd patch"},
      {"window too large", writePatch(huge), normal, "window of 3221225472 bytes"},
      {"missing patch", [&] { fs::remove(patchFile); }, normal, "cannot open the patch"},
      {"patch is a link", [&] {
         fs::rename(patchFile, other);
         fs::create_symlink(other, patchFile);
       }, normal, "cannot open the patch"},
      {"missing target", [&] { fs::remove(target); }, normal, "No such file"},
      {"target is a link", [&] {
         WriteFileText(other, FOld);
         fs::remove(target);
         fs::create_symlink(other, target);
       }, normal, "is a link"},
      {"target is a folder", [&] {
         fs::remove(target);
         fs::create_directory(target);
       }, normal, "not a plain file"},
      {"target in a missing folder", [] {}, {patchFile, FDir + "none/app.bin"}, "No such file"},
      {"no arguments", [] {}, {}, "Usage"},
      {"one argument", [] {}, {patchFile}, "Usage"},
      {"only -v", [] {}, {"-v", patchFile}, "Usage"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(target);
    fs::remove(other);
    fs::remove(patchFile);
    WriteFileText(target, FOld);
    WriteFileText(patchFile, patch);
    c.Prepare();
    const bool targetWasLink = fs::is_symlink(target);
    const bool targetWasFile = fs::is_regular_file(fs::symlink_status(target));
    const std::string before = targetWasFile ? ReadFileText(target) : "";
    const std::vector<std::string> listing = test::Names(FDir);

    const test::TProgramRun run = RunProgram(VYN_PATCHER_PATH, c.Args);
    EXPECT_NE(run.Exit, 0);
    EXPECT_NE(run.Err.find(c.Message), std::string::npos) << run.Err;
    EXPECT_EQ(test::Names(FDir), listing);
    EXPECT_EQ(fs::is_symlink(target), targetWasLink);
    if (targetWasFile) {
      EXPECT_TRUE(ReadFileText(target) == before);
    }
    if (targetWasLink) {
      EXPECT_TRUE(ReadFileText(other) == FOld);
    }
  }
}

TEST_F(Patcher, APatchWithoutAChecksumIsRefused) {
  if (std::system("command -v zstd >/dev/null 2>&1") != 0) GTEST_SKIP() << "zstd is not installed";
  const std::string command = "zstd -q --no-check --patch-from=" +
                              test::ShellQuote(FWork + "old") + " " +
                              test::ShellQuote(FWork + "new") + " -o " +
                              test::ShellQuote(FWork + "plain.pat");
  ASSERT_EQ(std::system(command.c_str()), 0);
  WriteFileText(FDir + "app.bin", FOld);
  const test::TProgramRun run =
      RunProgram(VYN_PATCHER_PATH, {"-v", FWork + "plain.pat", FDir + "app.bin"});
  EXPECT_EQ(run.Exit, 1);
  EXPECT_NE(run.Err.find("no content checksum"), std::string::npos) << run.Err;
  EXPECT_NE(run.Out.find("not patched"), std::string::npos);
  EXPECT_TRUE(ReadFileText(FDir + "app.bin") == FOld);
  EXPECT_EQ(test::Names(FDir), (std::vector<std::string>{"app.bin"}));
}

TEST_F(Patcher, MakePatchFailuresLeaveNoPatch) {
  WriteFileText(FWork + "fix.pat", "earlier");
  const std::vector<std::vector<std::string>> cases = {
      {"make-patch", FWork + "missing", FWork + "new", FWork + "fix.pat"},
      {"make-patch", FWork + "old", FWork, FWork + "fix.pat"},
      {"make-patch", FWork + "old", FWork + "new", FWork + "none/fix.pat"},
  };
  for (const auto& args : cases) {
    SCOPED_TRACE(args[2]);
    const test::TProgramRun run = RunProgram(VYN_VYNUPDATE_PATH, args);
    EXPECT_EQ(run.Exit, 2);
    EXPECT_NE(run.Err.find("vynupdate: "), std::string::npos);
    EXPECT_EQ(ReadFileText(FWork + "fix.pat"), "earlier");
    EXPECT_EQ(test::Names(FWork), (std::vector<std::string>{"fix.pat", "new", "old"}));
  }
}

}  // namespace
}  // namespace vyn
