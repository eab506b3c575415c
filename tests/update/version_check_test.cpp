// Release and file checks: version texts, dates, checksums and the decision of DoVersionCheck.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "EngineProbe.h"
#include "TestEnvironment.h"
#include "platform/Folders.h"
#include "platform/Registry.h"
#include "update/VudIvazoz.h"

namespace vyn {
namespace {

using test::TEngineProbe;

std::string WriteFile(const std::string& name, const std::string& data) {
  const std::string path = test::TestRoot() + "/" + name;
  test::WriteFileText(path, data);
  return path;
}

TEST(ParseVersionTest, ReadsTheTextForms) {
  const char* none = "65535.65535.65535.65535";
  struct TCase {
    const char* Text;
    const char* Formatted;
  } cases[] = {
      // No separator: the whole text must be a 32-bit integer.
      {"7", "7.0.0.0"},
      {" +7", "7.0.0.0"},
      {"-1", "65535.0.0.0"},
      {"2147483647", "65535.0.0.0"},
      {"2147483648", none},
      {"4294967296", none},
      {"99999999999", none},
      {"7b", none},
      {"abc", none},
      {"", none},
      // Two to four components; the comma wins over the dot.
      {"1.2", "1.2.0.0"},
      {" 2.10", "2.10.0.0"},
      {"+1.-1", "1.65535.0.0"},
      {"99999.1", "34463.1.0.0"},  // only the low 16 bits of a component count
      {"1.2b", "1.2.0.0"},         // a last component keeps its leading digits
      {"1.2.3", "1.2.3.0"},
      {"1.2.3rc1", "1.2.3.0"},
      {"1.2.3.4", "1.2.3.4"},
      {"1,2,3,5", "1.2.3.5"},
      // The fourth component must be an integer, or the second word is "no version".
      {"1.2.3.4.5", "1.2.65535.65535"},
      {"1,2,3,4.5", "1.2.65535.65535"},
      {"1.2.3.4b", "1.2.65535.65535"},
      {"1.2.3.99999999999", "1.2.65535.65535"},
      {"1.2.3x.4", "1.2.3.4"},
      // A bad component before the last ends the parsing: the rest is the next component.
      {"x.2.3.4", "0.2.0.0"},
      {"x.2", "0.2.0.0"},
      {"1.x.3.4", "1.0.3.0"},
      {"1.x.3", "1.0.3.0"},
      {"1.0b.0.1", "1.0.0.0"},
      {"1.2b.3.4", "1.2.3.0"},
      {"1..3.4", "1.0.3.0"},
      {"1,2.5,3,4", "1.2.3.0"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(TVudIvazoz::FormatVersion(TVudIvazoz::ParseVersion(c.Text)), c.Formatted) << c.Text;
}

TEST(ParseDateTimeTest, FollowsTheConfiguredFormats) {
  TVudIvazoz engine;
  struct TCase {
    const char* Format;
    char DateSep;
    char TimeSep;
    const char* Date;
    const char* Time;
    TDateTime Expected;
  } cases[] = {
      {"dd/mm/yyyy", '/', ':', "13/03/2017", "10:15", EncodeDateTime(2017, 3, 13, 10, 15)},
      {"dd/mm/yyyy", '/', ':', "1/2/2020", "", EncodeDateTime(2020, 2, 1)},
      {"mm/dd/yyyy", '/', ':', "03/13/2017", "", EncodeDateTime(2017, 3, 13)},
      {"yyyy-mm-dd", '-', '.', "2017-03-13", "08.30.15", EncodeDateTime(2017, 3, 13, 8, 30, 15)},
      {"dd/mm/yyyy", '/', ':', "29/02/2024", "", EncodeDateTime(2024, 2, 29)},
      // Impossible or unreadable dates fall back to 1 January 1980; a bad time adds nothing.
      {"dd/mm/yyyy", '/', ':', "31/02/2020", "", KFallbackDate},
      {"dd/mm/yyyy", '/', ':', "29/02/2023", "", KFallbackDate},
      {"dd/mm/yyyy", '/', ':', "13.03.2017", "", KFallbackDate},
      {"dd/mm/yyyy", '/', ':', "garbage", "", KFallbackDate},
      {"dd/mm/yyyy", '/', ':', "13/03/2017", "25:00", EncodeDateTime(2017, 3, 13)},
      {"dd/mm/yyyy", '/', ':', "", "10:00", EncodeDateTime(1980, 1, 1, 10, 0)},
      {"dd/mm/yyyy", '/', ':', "99999999999/1/1", "", KFallbackDate},
  };
  for (const auto& c : cases) {
    engine.DateFormat = c.Format;
    engine.DateSeparator = c.DateSep;
    engine.TimeSeparator = c.TimeSep;
    EXPECT_NEAR(engine.ParseDateTime(c.Date, c.Time), c.Expected, 1e-6)
        << c.Date << " " << c.Time;
  }
}

TEST(FileProbeTest, ChecksumsAndSizes) {
  const std::string abc = WriteFile("abc", "abc");
  const std::string empty = WriteFile("empty", "");
  const std::string big = WriteFile("big", std::string(10000, 'a'));  // several 4096-byte blocks
  const std::string missing = test::TestRoot() + "/missing";

  EXPECT_EQ(TVudIvazoz::FileCRC32(abc), 0x6C8D9D41);
  EXPECT_EQ(TVudIvazoz::FileByteSum(abc), 293);
  EXPECT_EQ(TVudIvazoz::FileSize32(abc), 3);

  EXPECT_EQ(TVudIvazoz::FileByteSum(big), 10000 * 97 - 1);
  EXPECT_EQ(TVudIvazoz::FileSize32(big), 10000);
  EXPECT_NE(TVudIvazoz::FileCRC32(big), TVudIvazoz::FileCRC32(WriteFile("big2", std::string(4096, 'a'))));

  EXPECT_EQ(TVudIvazoz::FileCRC32(empty), 0);
  EXPECT_EQ(TVudIvazoz::FileByteSum(empty), -1);
  EXPECT_EQ(TVudIvazoz::FileCRC32(missing), 0);
  EXPECT_EQ(TVudIvazoz::FileByteSum(missing), -1);
  EXPECT_EQ(TVudIvazoz::FileSize32(missing), -1);
}

TEST(FileProbeTest, FileVersionOfOwnExecutableAndOfPlainFiles) {
  TVudIvazoz engine;
  EXPECT_EQ(TVudIvazoz::FormatVersion(engine.GetFileVersion(ExePath())), "1.0.0.0");
  EXPECT_EQ(TVudIvazoz::FormatVersion(engine.GetFileVersion(WriteFile("plain", "text"))),
            "65535.65535.65535.65535");
}

// CheckFile by checksum and size, for both VersionCheck modes.
TEST(CheckFileTest, ChecksumAndSizeRules) {
  const std::string abc = WriteFile("abc", "abc");
  const std::string zero = WriteFile("zero", std::string(1, '\x01'));  // byte sum 0
  const std::string missing = test::TestRoot() + "/missing";
  struct TCase {
    const char* What;
    std::string File;
    int Size;
    int Checksum;
    TVudIvazozVersionCheck Mode;
    bool Expected;
  } cases[] = {
      {"nothing to compare", abc, 0, -1, vcUpdateOnly, true},
      {"no local file named", "", 3, -1, vcUpdateOnly, true},
      {"missing, update only", missing, 3, -1, vcUpdateOnly, false},
      {"missing, always", missing, 3, -1, vcAlways, true},
      {"checksum equal", abc, 0, 293, vcUpdateOnly, false},
      {"checksum differs", abc, 0, 5, vcUpdateOnly, true},
      {"zero checksum counts as match", zero, 0, 5, vcUpdateOnly, false},
      {"zero checksum counts as match always", zero, 0, 5, vcAlways, false},
      {"checksum wins over size", abc, 99, 293, vcUpdateOnly, false},
      {"size equal", abc, 3, -1, vcUpdateOnly, false},
      {"size differs", abc, 4, -1, vcUpdateOnly, true},
  };
  for (const auto& c : cases) {
    TEngineProbe engine;
    engine.VersionCheck = c.Mode;
    std::string version, file = c.File;
    EXPECT_EQ(engine.CheckFile(version, file, c.Size, c.Checksum), c.Expected) << c.What;
  }
}

TEST(CheckFileTest, ChecksumMessageAndCrcMode) {
  const std::string abc = WriteFile("abc", "abc");
  TEngineProbe engine;
  engine.UseCRC32 = true;
  std::string version, file = abc;
  EXPECT_FALSE(engine.CheckFile(version, file, 0, 0x6C8D9D41));
  ASSERT_TRUE(engine.FindMessage(944));
  EXPECT_EQ(engine.FindMessage(944)->Text,
            "Version check : Checksum compare of " + abc + ":1821220161:1821220161");
  EXPECT_EQ(engine.FindMessage(944)->Status, 3);
}

// The test executable carries version 1.0.0.0.
TEST(CheckFileTest, VersionComparisonRewritesBothTexts) {
  struct TCase {
    const char* NewVersion;
    TVudIvazozVersionCheck Mode;
    bool Expected;
    const char* NewAfter;
  } cases[] = {
      {"1.0.0.0", vcUpdateOnly, false, "1.0.0.0"},
      {"1,0,0,1", vcUpdateOnly, true, "1.0.0.1"},
      {"1.0", vcUpdateOnly, false, "1.0.0.0"},
      {"1.1", vcUpdateOnly, true, "1.1.0.0"},
      {"1.0b.0.1", vcUpdateOnly, false, "1.0.0.0"},  // a beta is not the next build
      {"0.9.9.9", vcUpdateOnly, false, "0.9.9.9"},
      {"1.2.3.4.5", vcAlways, false, "1.2.3.4.5"},  // no version: untouched, not newer
      {"junk", vcAlways, false, "junk"},
  };
  for (const auto& c : cases) {
    TEngineProbe engine;
    engine.VersionCheck = c.Mode;
    std::string version = c.NewVersion, file = ExePath();
    EXPECT_EQ(engine.CheckFile(version, file, 0, -1), c.Expected) << c.NewVersion;
    EXPECT_EQ(version, c.NewAfter) << c.NewVersion;
    ASSERT_TRUE(engine.FindMessage(944));
    EXPECT_NE(engine.FindMessage(944)->Text.find("Version compare of " + ExePath() + ":1.0.0.0 with "),
              std::string::npos);
  }
}

TEST(CheckFileTest, FileWithoutVersion) {
  const std::string plain = WriteFile("plain", "no version here");
  for (auto mode : {vcUpdateOnly, vcAlways}) {
    TEngineProbe engine;
    engine.VersionCheck = mode;
    std::string version = "1.2", file = plain;
    // With vcAlways the missing version reads as all bits set (-1): any version below 32768 wins.
    EXPECT_EQ(engine.CheckFile(version, file, 0, -1), mode == vcAlways);
  }
}

// ---- DoVersionCheck ----

class DoVersionCheckTest : public ::testing::Test {
protected:
  int Check(const std::string& control) {
    Engine.UseControlFile(WriteFile("update.inf", control));
    return Engine.DoVersionCheck();
  }
  void StoreLastDate(const std::string& date, const std::string& time = "") {
    Engine.LastURLEntry.Key = "Software\\Vendor";
    Engine.LastURLEntry.Section = "Update";
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vendor\\Update", true));
    reg.WriteString("LastDate", date);
    if (!time.empty()) reg.WriteString("LastTime", time);
  }
  TEngineProbe Engine;
};

TEST_F(DoVersionCheckTest, DateBasedAgainstTheStoredDate) {
  StoreLastDate("01/02/2020", "10:00:00");
  EXPECT_EQ(Check("[update]\ndate=01/02/2020\ntime=10:30\n"), wrNewByDate);
  EXPECT_EQ(Engine.MessageIds(), (std::vector<int>{928, 929}));
  EXPECT_EQ(Engine.FindMessage(929)->Text, "New version found : 01/02/2020");
  EXPECT_EQ(Engine.FindMessage(929)->Status, 5);
  EXPECT_NEAR(Engine.NewVersionDate(), EncodeDateTime(2020, 2, 1, 10, 30), 1e-6);
  EXPECT_NEAR(Engine.CurVersionDate(), EncodeDateTime(2020, 2, 1, 10, 0), 1e-6);
  EXPECT_TRUE(Engine.SaveUpdate());
}

TEST_F(DoVersionCheckTest, EqualDateIsNotNewerUnlessUnconditional) {
  StoreLastDate("01/02/2020");
  EXPECT_EQ(Check("[update]\ndate=01/02/2020\n"), wrNoNewVersion);
  EXPECT_EQ(Engine.MessageIds(), (std::vector<int>{928, 930}));
  EXPECT_EQ(Check("[update]\ndate=01/02/2020\nunconditional=yes\n"), wrUnconditional);
  EXPECT_EQ(Check("[update]\nunconditional=1\n"), wrUnconditional);
}

TEST_F(DoVersionCheckTest, NewerDateSkipsTheFileComparisons) {
  StoreLastDate("01/02/2020");
  const std::string abc = WriteFile("abc", "abc");
  EXPECT_EQ(Check("[update]\ndate=02/02/2020\nlocalversion=" + abc + "\nnewchecksum=5\n"),
            wrNewByDate);
  EXPECT_FALSE(Engine.HasMessage(931));
}

TEST_F(DoVersionCheckTest, OlderDateFallsThroughToTheFileComparison) {
  StoreLastDate("01/02/2020");
  const std::string abc = WriteFile("abc", "abc");
  EXPECT_EQ(Check("[update]\ndate=01/01/2020\nlocalversion=" + abc + "\nnewchecksum=5\n"),
            wrNewByChecksum);
}

TEST_F(DoVersionCheckTest, DateOfTheLocalFileWithoutStore) {
  const std::string abc = WriteFile("abc", "abc");  // modified now
  EXPECT_EQ(Check("[update]\ndate=01/01/2000\nlocalversion=" + abc + "\n"), wrNoNewVersion);
  EXPECT_EQ(Engine.LocalFileDateCheck(), abc);
  EXPECT_EQ(Check("[update]\ndate=01/01/2200\nlocalversion=" + abc + "\n"), wrNewByDate);
  // Without store and without file the installed date is 1980: an unreadable date equals it.
  EXPECT_EQ(Check("[update]\ndate=31/02/2020\nlocalversion=/nowhere\n"), wrNoNewVersion);
  EXPECT_NEAR(Engine.CurVersionDate(), KFallbackDate, 1e-9);
}

TEST_F(DoVersionCheckTest, KindOfFileComparison) {
  const std::string abc = WriteFile("abc", "abc");
  const std::string local = "localversion=" + abc + "\n";
  struct TCase {
    std::string Keys;
    int Expected;
    int KindMessage;
  } cases[] = {
      {local + "newchecksum=5\n", wrNewByChecksum, 931},
      {local + "newchecksum=293\n", wrNoNewVersion, 931},
      {local + "newchecksum=5\nnewversion=0.1\nnewsize=3\n", wrNewByChecksum, 931},
      {local + "newsize=4\n", wrNewBySize, 932},
      {local + "newsize=3\n", wrNoNewVersion, 932},
      {"localversion=" + ExePath() + "\nnewversion=1.2\n", wrNewByVersion, 933},
      {"localversion=" + ExePath() + "\nnewversion=1.0.0.0\n", wrNoNewVersion, 933},
      {"localversion=" + ExePath() + "\nnewversion=1.2.3.4.5\n", wrNoNewVersion, 933},
      // 99999 keeps its low 16 bits, 34463: a major of 32768 or more compares as negative.
      {"localversion=" + ExePath() + "\nnewversion=99999.1\n", wrNoNewVersion, 933},
      {"localversion=" + ExePath() + "\nnewversion=70000.1\n", wrNewByVersion, 933},
      {"newversion=1.2\n", wrNoNewVersion, 0},                     // no local file named
      {local + "newsize=99999999999\n", wrNoNewVersion, 0},        // out of range: default
      {local + "newchecksum=12abc\n", wrNoNewVersion, 0},          // not an integer: default
      {"localversion=/nowhere/x\nnewsize=4\n", wrNoNewVersion, 932},  // missing, update only
  };
  for (const auto& c : cases) {
    Engine.Messages.clear();
    EXPECT_EQ(Check("[update]\n" + c.Keys), c.Expected) << c.Keys;
    for (int kind : {931, 932, 933})
      EXPECT_EQ(Engine.HasMessage(kind), kind == c.KindMessage) << c.Keys << " " << kind;
    EXPECT_EQ(Engine.HasMessage(929), c.Expected != wrNoNewVersion) << c.Keys;
  }
}

TEST_F(DoVersionCheckTest, VersionInfoAfterTheComparison) {
  EXPECT_EQ(Check("[update]\nlocalversion=" + ExePath() + "\nnewversion=1,3\n"), wrNewByVersion);
  EXPECT_EQ(Engine.NewVersionInfo(), "1.3.0.0");
  EXPECT_EQ(Engine.CurVersionInfo(), "1.0.0.0");
  EXPECT_EQ(Engine.FindMessage(929)->Text, "New version found : 1.3.0.0");

  const std::string abc = WriteFile("abc", "abc");
  EXPECT_EQ(Check("[update]\nlocalversion=" + abc + "\nnewsize=9\n"), wrNewBySize);
  EXPECT_EQ(Engine.CurVersionInfo(), abc);
}

TEST_F(DoVersionCheckTest, MissingLocalFileUnderVcAlways) {
  Engine.VersionCheck = vcAlways;
  EXPECT_EQ(Check("[update]\nlocalversion=/nowhere/x\nnewsize=4\n"), wrNewBySize);
}

TEST_F(DoVersionCheckTest, LocalPathsFromWindowsControlFiles) {
  const std::string dir = test::TestRoot() + "/app";
  ASSERT_TRUE(ForceDirectories(dir));
  test::WriteFileText(dir + "/main.bin", "abc");
  setenv("ProgramFiles", test::TestRoot().c_str(), 1);
  EXPECT_EQ(Check("[update]\nlocalversion={PF}\\app\\main.bin\nnewsize=3\n"), wrNoNewVersion);
  EXPECT_EQ(Engine.CurVersionInfo(), dir + "/main.bin");
  unsetenv("ProgramFiles");
}

TEST_F(DoVersionCheckTest, CustomValidateHasTheLastWord) {
  std::string seenMsg, seenParam;
  bool seenAllow = false;
  bool answer = false;
  Engine.OnCustomValidate = [&](TVudIvazoz&, const std::string& msg, const std::string& param,
                                bool& allow) {
    seenMsg = msg;
    seenParam = param;
    seenAllow = allow;
    allow = answer;
  };
  const std::string custom = "[custom]\nvalidatemsg=check\nvalidateparam=p1\n";
  EXPECT_EQ(Check("[update]\nunconditional=1\n" + custom), wrNoNewVersion);
  EXPECT_TRUE(seenAllow);
  EXPECT_EQ(seenMsg, "check");
  EXPECT_EQ(seenParam, "p1");
  answer = true;
  EXPECT_EQ(Check("[update]\n" + custom), wrCustomValidated);
  EXPECT_FALSE(seenAllow);
}

TEST_F(DoVersionCheckTest, DescriptionLineBreaks) {
  Check("[update]\ndescr=First\\nSecond\\\\nThird\n");
  EXPECT_EQ(Engine.UpdateDescription(), "First\rSecond\\\rThird");
}

TEST_F(DoVersionCheckTest, BadControlFiles) {
  const std::string abc = WriteFile("abc", "abc");
  std::string binary;
  for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 131 + 7) & 0xFF);
  struct TCase {
    const char* What;
    std::string Text;
    int Expected;
  } cases[] = {
      {"empty", "", wrNoNewVersion},
      {"missing section", "[other]\nnewsize=3\n", wrNoNewVersion},
      {"garbage lines", "=\n[\n]]]\nno equals sign\n[other\nnewsize\n[update]\n===\nnewsize=4\nlocalversion=" +
                            abc + "\n", wrNewBySize},
      {"binary junk", binary + "\n[update]\nunconditional=1\n" + binary, wrUnconditional},
      {"10 MB value", "[update]\ndescr=" + std::string(10 * 1024 * 1024, 'x') + "\nunconditional=1\n",
       wrUnconditional},
      {"NUL bytes", std::string("[update]\nnewsize=") + '\0' + "4\nlocalversion=" + abc + "\n",
       wrNoNewVersion},
  };
  for (const auto& c : cases) EXPECT_EQ(Check(c.Text), c.Expected) << c.What;
  EXPECT_EQ(Engine.UpdateDescription().size(), 0u);  // last case has no descr
}

TEST_F(DoVersionCheckTest, MissingControlFileReadsAsEmpty) {
  Engine.UseControlFile(test::TestRoot() + "/not-there.inf");
  EXPECT_EQ(Engine.DoVersionCheck(), wrNoNewVersion);
}

}  // namespace
}  // namespace vyn
