// The update's file list: reading the file sections and dropping the files already current.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <ctime>
#include <string>
#include <vector>

#include "EngineProbe.h"
#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "update/control/DateTime.h"

namespace vyn {
namespace {

using test::TestRoot;
using test::WriteFileText;

class FileListTest : public ::testing::Test {
protected:
  // Writes the control file and reads its file sections.
  int Read(const std::string& text) {
    const std::string path = TestRoot() + "/control.inf";
    WriteFileText(path, text);
    FEngine.UseControlFile(path);
    return FEngine.GetFileDetails();
  }
  std::vector<std::string> Urls() const {
    std::vector<std::string> urls;
    for (int i = 0; i < FEngine.FileList().Count(); ++i)
      urls.push_back(FEngine.FileList().Items(i).URL);
    return urls;
  }
  int Count(int id) const {
    int n = 0;
    for (int m : FEngine.MessageIds()) n += m == id;
    return n;
  }
  test::TIsolatedEnvironment FEnvironment;
  test::TEngineProbe FEngine;
};

TEST_F(FileListTest, EveryKeyOfAFileSectionAndTheDefaults) {
  EXPECT_EQ(Read("[files]\ncount=2\n"
                 "[file1]\nurl=http://h/{APP}.bin\ntargetdir={TMP}\\sub\nlocalversion=C:\\x\\app.exe\n"
                 "newversion=1.2.3.4\nnewsize=77\nnewchecksum=0x10\ncustomversion=c1\n"
                 "date=01/02/2030\ntime=10:11\ndescr=First file\ncompressed=1\nfilesize=500\n"
                 "mandatory=1\npreselect=0\nhidden=1\n"),
            2);
  EXPECT_EQ(FEngine.MessageIds(), std::vector<int>{943});
  ASSERT_EQ(FEngine.FileList().Count(), 2);
  const TFileDescription& f = FEngine.FileList().Items(0);
  EXPECT_EQ(f.URL, "http://h/" + ExeDir() + ".bin");  // addresses keep their separators
  EXPECT_EQ(f.TargetDir, FEngine.WinTempDir() + "sub/");
  EXPECT_EQ(f.LocalVersion, "C:/x/app.exe");
  EXPECT_EQ(f.NewVersion, "1.2.3.4");
  EXPECT_EQ(f.NewSize, 77);
  EXPECT_EQ(f.NewCheckSum, 16);
  EXPECT_EQ(f.NewCustomVer, "c1");
  EXPECT_EQ(f.NewDate, "01/02/2030");
  EXPECT_EQ(f.NewTime, "10:11");
  EXPECT_EQ(f.Description, "First file");
  EXPECT_TRUE(f.Compressed);
  EXPECT_EQ(f.FileSize, 500);
  EXPECT_TRUE(f.Mandatory);
  EXPECT_FALSE(f.Preselect);
  EXPECT_TRUE(f.Hidden);
  EXPECT_FALSE(f.Selected);

  // A missing section gives a record with every default.
  const TFileDescription& d = FEngine.FileList().Items(1);
  EXPECT_EQ(d.URL, "");
  EXPECT_EQ(d.TargetDir, "");
  EXPECT_EQ(d.NewCheckSum, -1);
  EXPECT_EQ(d.NewSize, 0);
  EXPECT_FALSE(d.Compressed || d.Mandatory || d.Hidden);
  EXPECT_TRUE(d.Preselect);
}

TEST_F(FileListTest, CountsThatAnnounceNoFileOrFarTooMany) {
  struct TCase {
    const char* Text;
    int Result;
    std::vector<int> Messages;
  } cases[] = {
      {"[update]\n", 0, {}},
      {"[files]\ncount=0\n", 0, {}},
      {"[files]\ncount=10000\n", 10000, {943}},
      {"[files]\ncount=10001\n", 0, {979}},
      {"[files]\ncount=-1\n", 0, {979}},
      {"[files]\ncount=2147483647\n", 0, {979}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    FEngine.Messages.clear();
    FEngine.FileList().Add();  // emptied by every read
    EXPECT_EQ(Read(c.Text), c.Result);
    EXPECT_EQ(FEngine.FileList().Count(), c.Result);
    EXPECT_EQ(FEngine.MessageIds(), c.Messages);
  }
  FEngine.Messages.clear();
  Read("[files]\ncount=-1\n");
  EXPECT_EQ(FEngine.FindMessage(979)->Text, "File count out of range : -1 (0 to 10000)");
}

TEST_F(FileListTest, SizesOfTheWholeListAndOfWhatCameBeforeTheActiveFile) {
  TFileList list;
  for (int size : {10, 20, 30}) list.Add().FileSize = size;
  list.Insert(0).FileSize = 5;
  EXPECT_EQ(list.TotalSize(), 65);
  EXPECT_EQ(list.CompletedSize(), 0);
  list.ActiveItem = 2;
  EXPECT_EQ(list.CompletedSize(), 15);
  list.Delete(0);
  EXPECT_EQ(list.Items(0).FileSize, 10);
  EXPECT_THROW(list.Insert(9), std::out_of_range);
}

TEST_F(FileListTest, InstalledFilesThatAreCurrentAreDropped) {
  const std::string same = TestRoot() + "/same.dat";
  WriteFileText(same, "abc");
  const std::string sum = std::to_string(TVudIvazoz::FileByteSum(same));
  const std::string otherSum = std::to_string(TVudIvazoz::FileByteSum(same) + 1);
  const std::string dated = TestRoot() + "/dated.dat";
  WriteFileText(dated, "x");
  const std::time_t fileTime = std::time(nullptr) - 86400 * 10;  // ten days ago
  const utimbuf times{fileTime, fileTime};
  utime(dated.c_str(), &times);
  const auto day = [&](int offset) {
    return FormatShortDate(FileTimeToDateTime(fileTime + offset * 86400));
  };
  EXPECT_EQ(Read("[files]\ncount=6\n"
                 "[file1]\nurl=http://h/a/same.dat\nlocalversion=" + same + "\nnewchecksum=" + sum + "\n"
                 "[file2]\nurl=http://h/changed.dat\nlocalversion=" + same + "\nnewchecksum=" + otherSum + "\n"
                 "[file3]\nurl=http://h/older.dat\nlocalversion=" + dated + "\ndate=" + day(-1) + "\n"
                 "[file4]\nurl=http://h/newer.dat\nlocalversion=" + dated + "\ndate=" + day(2) + "\n"
                 "[file5]\nurl=http://h/gone.dat\nlocalversion=" + TestRoot() + "/none\ndate=" +
                 day(-5) + "\n"
                 "[file6]\nurl=http://h/plain.dat\nnewversion=9.9\nnewsize=5\nnewchecksum=1\n"),
            6);
  FEngine.Messages.clear();
  EXPECT_EQ(FEngine.ProcessFileDetails(), 0);
  EXPECT_EQ(Urls(), (std::vector<std::string>{"http://h/changed.dat", "http://h/newer.dat",
                                              "http://h/gone.dat", "http://h/plain.dat"}));
  EXPECT_EQ(Count(971), 6);
  EXPECT_EQ(Count(930), 1);  // the checksum-equal file; the dated one goes without a word
  ASSERT_GE(FEngine.Messages.size(), 2u);
  EXPECT_EQ(FEngine.Messages[0].Text,
            "Processing file : http://h/a/same.dat[" + same + ",nv=,nd=,ns=0,nc=" + sum + "]");
  EXPECT_EQ(FEngine.Messages[0].Status, 0);

  // Hidden addresses: only the file name, and nothing left gives -1.
  FEngine.HideURLInLogFile = true;
  Read("[files]\ncount=1\n[file1]\nurl=http://u:pw@h/a/same.dat\nlocalversion=" + same +
       "\nnewchecksum=" + sum + "\nnewsize=-3\n");
  FEngine.Messages.clear();
  EXPECT_EQ(FEngine.ProcessFileDetails(), -1);
  EXPECT_EQ(FEngine.Messages[0].Text,
            "Processing file : same.dat[" + same + ",nv=,nd=,ns=-3,nc=" + sum + "]");
}

TEST_F(FileListTest, TheVersionHandlerSeesTheComparedVersionsAndMayDropAFile) {
  const std::string exe = ExePath();  // carries the project's version note
  Read("[files]\ncount=3\n"
       "[file1]\nurl=http://h/a\nlocalversion=" + exe + "\nnewversion=99.0\ncustomversion=keep\n"
       "[file2]\nurl=http://h/b\nlocalversion=" + exe + "\nnewversion=99.0\ncustomversion=drop\n"
       "[file3]\nurl=http://h/c\nnewversion=1\n");
  std::vector<std::string> seen;
  FEngine.OnFileVersionCheck = [&](TVudIvazoz&, const std::string& custom,
                                   const std::string& local, bool& isNew) {
    seen.push_back(custom + "|" + local);
    isNew = custom == "keep";
  };
  EXPECT_EQ(FEngine.ProcessFileDetails(), 0);
  EXPECT_EQ(Urls(), (std::vector<std::string>{"http://h/a", "http://h/c"}));
  const std::string installed = TVudIvazoz::FormatVersion(FEngine.GetFileVersion(exe));
  EXPECT_EQ(seen, (std::vector<std::string>{"keep|" + installed, "drop|" + installed}));
  EXPECT_EQ(FEngine.FileList().Items(0).NewVersion, "99.0");  // the record is not rewritten
}

TEST_F(FileListTest, TheListHandlerDropsFilesByPositionButNeverAMandatoryOne) {
  Read("[files]\ncount=5\n"
       "[file1]\nurl=u1\ndescr=one\n[file2]\nurl=u2\ndescr=two\nmandatory=1\n"
       "[file3]\nurl=u3\ndescr=three\n[file4]\nurl=u4\ndescr=four\n[file5]\nurl=u5\ndescr=five\n");
  std::vector<std::string> offered;
  FEngine.OnGetFileList = [&](TVudIvazoz&, std::vector<std::string>& list) {
    offered = list;
    // Empties the mandatory second, drops the third, keeps the fourth, and stops short of the
    // fifth, which therefore stays.
    list = {"one", "", "", "four"};
  };
  EXPECT_EQ(FEngine.ProcessFileDetails(), 0);
  EXPECT_EQ(offered, (std::vector<std::string>{"one", "two", "three", "four", "five"}));
  EXPECT_EQ(Urls(), (std::vector<std::string>{"u1", "u2", "u4", "u5"}));

  FEngine.OnGetFileList = [](TVudIvazoz&, std::vector<std::string>& list) {
    for (auto& entry : list) entry.clear();
  };
  Read("[files]\ncount=2\n[file1]\nurl=u1\n[file2]\nurl=u2\n");
  EXPECT_EQ(FEngine.ProcessFileDetails(), -1);
}

}  // namespace
}  // namespace vyn
