#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "RunAsUser.h"
#include "transfer_fixture.h"
#include "update/transfer/CopyLocalFile.h"

namespace vyn {
namespace {

using test::ReadFileText;
using test::WriteFileText;

class TransferFile : public test::TTransferTest {
protected:
  void SetUp() override {
    TTransferTest::SetUp();
    FEngine.UpdateType = fileUpdate;
    FSource = test::TestRoot() + "/share/";
    std::filesystem::create_directories(FSource);
  }
  std::string FSource;
};

TEST_F(TransferFile, ConnectionStepsAreSilentAndStopDeletesOnlyTheControlFile) {
  EXPECT_EQ(FEngine.StartConnection(), wrOK);
  EXPECT_TRUE(FEngine.Messages.empty());
  EXPECT_FALSE(FEngine.InProgress());
  const std::string control = FTarget + "control.ini";
  WriteFileText(control, "[update]");
  FEngine.UseControlFile(control);
  EXPECT_EQ(FEngine.StopConnection(), 0);
  EXPECT_TRUE(FEngine.Messages.empty());
  EXPECT_FALSE(std::filesystem::exists(control));
}

TEST_F(TransferFile, CopiesIntoAFolderOrOntoAFileInBlocksOf32768) {
  WriteFileText(FSource + "data.bin", test::Pattern(100000));
  std::vector<int64_t> positions;
  FEngine.OnFileProgress = [&](TVudIvazoz&, const std::string& name, int64_t pos, int64_t size) {
    EXPECT_EQ(name, FSource + "data.bin");
    EXPECT_EQ(size, 100000);
    positions.push_back(pos);
  };
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "data.bin", FTarget, false));
  EXPECT_EQ(ReadFileText(FTarget + "data.bin"), test::Pattern(100000));
  EXPECT_EQ(positions, (std::vector<int64_t>{32768, 65536, 98304, 100000, 100000}));
  EXPECT_EQ(FDownloaded, std::vector<std::string>{FTarget + "data.bin"});

  // A target with a file-name part is the file itself; a Windows-style source path is read too.
  WriteFileText(FTarget + "renamed.bin", "old");
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, test::TestRoot() + "\\share\\data.bin",
                                 FTarget + "renamed.bin", false));
  EXPECT_EQ(ReadFileText(FTarget + "renamed.bin"), test::Pattern(100000));
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFile, RefusesTheSameFileAMissingSourceAndStopsWhenCancelled) {
  WriteFileText(FSource + "same.txt", "keep");
  EXPECT_FALSE(CopyLocalFile(FEngine, FSource + "same.txt", FSource + "same.txt"));
  ExpectMessage(912, "Equal source and target files : " + FSource + "same.txt", 10, 3);
  EXPECT_FALSE(FEngine.URLGetFile(nullptr, FSource + "absent.txt", FTarget, false));
  ExpectMessage(913, "File not found : " + FSource + "absent.txt", 2, 1);

  WriteFileText(FSource + "big.bin", test::Pattern(200000));
  WriteFileText(FTarget + "big.bin", "old");
  FEngine.OnProgressCancel = [](TVudIvazoz&, bool& cancel) { cancel = true; };
  EXPECT_FALSE(FEngine.URLGetFile(nullptr, FSource + "big.bin", FTarget, false));
  EXPECT_TRUE(FEngine.Cancelled());
  ExpectMessage(964, "VudIvazoz process cancelled", 0, 0);
  EXPECT_EQ(ReadFileText(FTarget + "big.bin"), "old");
  EXPECT_TRUE(FDownloaded.empty());
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFile, OnlyAPlainFileIsCopied) {
  // Neither a named pipe without a writer nor an endless device may hold the copy.
  ASSERT_EQ(mkfifo((FSource + "pipe").c_str(), 0600), 0);
  std::filesystem::create_directories(FSource + "folder");
  for (const std::string& source : {FSource + "pipe", std::string("/dev/zero"), FSource + "folder"}) {
    SCOPED_TRACE(source);
    FEngine.Messages.clear();
    EXPECT_FALSE(FEngine.URLGetFile(nullptr, source, FTarget + "copy", false));
    ExpectMessage(913, "File not found : " + source, 2, 1);
    EXPECT_FALSE(std::filesystem::exists(FTarget + "copy"));
  }
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFile, ASourceWithoutAFileNameIsRefused) {
  // The target would be the target folder itself.
  EXPECT_FALSE(FEngine.URLGetFile(nullptr, FSource, FTarget, false));
  ExpectMessage(917, "File not found : " + FSource, 2, 1);
  EXPECT_TRUE(std::filesystem::is_empty(FTarget));
}

// What a user without root's powers meets in a shared folder: the old target is another
// user's link to one of the user's own files, or it sits in a folder that refuses the delete.
TEST_F(TransferFile, AnOldTargetThatCannotBeDeletedIsNeverFollowedNorIsItsFolderOpened) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as two other users";
  constexpr uid_t KUser = 42001;
  constexpr uid_t KAttacker = 42002;
  const std::string root = test::TestRoot();
  // The other users must reach this case's folder through the test's own folders.
  for (std::filesystem::path p = root; p.filename().string().rfind("vyn-test-", 0) == 0 ||
                                       p.filename() == "tmp";
       p = p.parent_path())
    chmod(p.c_str(), 0755);
  chmod(FSource.c_str(), 0755);
  WriteFileText(FSource + "file.txt", "new");
  chmod((FSource + "file.txt").c_str(), 0644);
  const std::string stage = root + "/stage";  // the user's own staging folder
  std::filesystem::create_directories(stage);
  chown(stage.c_str(), KUser, KUser);

  const std::string shared = root + "/shared";  // sticky and open to all, like /tmp
  std::filesystem::create_directories(shared);
  chmod(shared.c_str(), 01777);
  const std::string victim = root + "/victim.txt";
  WriteFileText(victim, "private");
  chown(victim.c_str(), KUser, KUser);
  chmod(victim.c_str(), 0600);
  ASSERT_EQ(symlink(victim.c_str(), (shared + "/file.txt").c_str()), 0);
  lchown((shared + "/file.txt").c_str(), KAttacker, KAttacker);

  const std::string closed = root + "/closed";  // the user's own folder, closed to writes
  std::filesystem::create_directories(closed);
  WriteFileText(closed + "/file.txt", "old");
  chown(closed.c_str(), KUser, KUser);
  chown((closed + "/file.txt").c_str(), KUser, KUser);
  chmod(closed.c_str(), 0555);

  for (const std::string& folder : {shared, closed}) {
    SCOPED_TRACE(folder);
    const int refused = test::RunAsUser(KUser, KUser, [&] {
      FEngine.UseWinTempDir = false;
      FEngine.TempDirectory = stage;
      FEngine.Messages.clear();
      const bool copied = FEngine.URLGetFile(nullptr, FSource + "file.txt", folder + "/", false);
      return !copied && FEngine.HasMessage(972) && StagingFiles() == 0 ? 1 : 0;
    });
    EXPECT_EQ(refused, 1);
  }
  EXPECT_EQ(Mode(victim), 0600u);
  EXPECT_EQ(ReadFileText(victim), "private");
  EXPECT_TRUE(std::filesystem::is_symlink(shared + "/file.txt"));
  EXPECT_EQ(Mode(closed), 0555u);
  EXPECT_EQ(ReadFileText(closed + "/file.txt"), "old");
}

TEST_F(TransferFile, EmptySourceGivesAnEmptyTargetAndPermissionsFollowTheTarget) {
  WriteFileText(FSource + "empty.txt", "");
  WriteFileText(FSource + "tool", std::string("\x7F" "ELF", 4) + "rest");
  WriteFileText(FTarget + "locked.txt", "old");
  chmod((FTarget + "locked.txt").c_str(), 0444);
  WriteFileText(FSource + "locked.txt", "new");
  const mode_t mask = umask(027);
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "empty.txt", FTarget, false));
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "tool", FTarget, false));
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "locked.txt", FTarget, false));
  umask(mask);
  EXPECT_EQ(ReadFileText(FTarget + "empty.txt"), "");
  EXPECT_EQ(Mode(FTarget + "empty.txt"), 0640u);
  EXPECT_EQ(Mode(FTarget + "tool"), 0750u);
  EXPECT_EQ(ReadFileText(FTarget + "locked.txt"), "new");
  EXPECT_EQ(Mode(FTarget + "locked.txt"), 0444u);
}

TEST_F(TransferFile, UndeletableTargetStopsTheCopyWithoutLeavingTheTemporaryFile) {
  WriteFileText(FSource + "blocked", "new");
  std::filesystem::create_directories(FTarget + "blocked/inside");
  EXPECT_FALSE(FEngine.URLGetFile(nullptr, FSource + "blocked", FTarget, false));
  ExpectMessage(972, "Cannot delete file : " + FTarget + "blocked", 19, 6);
  EXPECT_FALSE(FEngine.HasMessage(973));
  EXPECT_TRUE(FDownloaded.empty());
  EXPECT_EQ(StagingFiles(), 0);
}

TEST_F(TransferFile, TemporaryFileThatCannotBeMadeOrWrittenFailsTheCopyQuietly) {
  WriteFileText(FSource + "data.bin", test::Pattern(100000));
  WriteFileText(FTarget + "data.bin", "old");
  FEngine.UseWinTempDir = false;
  FEngine.TempDirectory = test::TestRoot() + "/no-such-folder";
  EXPECT_FALSE(FEngine.URLGetFile(nullptr, FSource + "data.bin", FTarget, false));
  EXPECT_EQ(FEngine.MessageIds(), std::vector<int>{915});

  // A full disk: the file-size limit makes the temporary file's writes fail.
  FEngine.UseWinTempDir = true;
  FEngine.Messages.clear();
  const auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  rlimit old {};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = 40000;
  setrlimit(RLIMIT_FSIZE, &small);
  const bool copied = CopyLocalFile(FEngine, FSource + "data.bin", FTarget + "data.bin");
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(copied);
  EXPECT_TRUE(FEngine.Messages.empty());
  EXPECT_EQ(ReadFileText(FTarget + "data.bin"), "old");
  EXPECT_EQ(StagingFiles(), 0);
}

}  // namespace
}  // namespace vyn

namespace vyn {
namespace {

TEST_F(TransferFile, BeforeUrlToFileHandlerMayTakeOverTheTransfer) {
  WriteFileText(FSource + "made.txt", "from the source");
  bool answer = false;
  FEngine.OnBeforeUrlToFile = [&](TInternetSession*, const std::string& url, const std::string& tgt,
                                  bool&, bool& handled, bool& success) {
    // The handler fetches the file itself when it can.
    if (url.find("made.txt") != std::string::npos) WriteFileText(tgt + "made.txt", "by the handler");
    handled = true;
    success = answer;
  };
  EXPECT_FALSE(FEngine.URLGetFile(nullptr, FSource + "made.txt", FTarget, false));
  EXPECT_EQ(ReadFileText(FTarget + "made.txt"), "by the handler");
  EXPECT_EQ(FDownloaded, std::vector<std::string>{FTarget + "made.txt"});
  answer = true;
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "made.txt", FTarget, false));
  // Handled but no file in the target folder: the engine copies it after all.
  WriteFileText(FSource + "other.txt", "copied");
  EXPECT_TRUE(FEngine.URLGetFile(nullptr, FSource + "other.txt", FTarget, false));
  EXPECT_EQ(ReadFileText(FTarget + "other.txt"), "copied");
}

}  // namespace
}  // namespace vyn
