#include "archive/CabinetExtract.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "TestEnvironment.h"
#include "support/ArchiveFixtures.h"

namespace fs = std::filesystem;

namespace vyn {
namespace {

using test::Facts;
using test::Listing;
using test::ReadFileText;

// 2021-03-04 05:06:08 local time: an even second, as DOS times have.
std::time_t SampleTime() {
  std::tm moment{};
  moment.tm_year = 121;
  moment.tm_mon = 2;
  moment.tm_mday = 4;
  moment.tm_hour = 5;
  moment.tm_min = 6;
  moment.tm_sec = 8;
  moment.tm_isdst = -1;
  return std::mktime(&moment);
}

class CabinetExtractTest : public ::testing::Test {
protected:
  void SetUp() override {
    umask(022);
    fs::create_directories(FSource);
  }

  // A cabinet of `files`, made from copies written below the source folder.
  std::string Cabinet(const std::vector<std::pair<std::string, std::string>>& files, bool mszip = false,
                      const std::string& name = "pack.cab") {
    test::WriteTree(FSource, files, SampleTime());
    std::vector<std::string> names;
    for (const auto& file : files) names.push_back(file.first);
    const std::string cabinet = FRoot + "/" + name;
    EXPECT_TRUE(test::MakeCabinet(cabinet, FSource, names, mszip));
    return cabinet;
  }

  test::TIsolatedEnvironment FEnvironment;
  const std::string FRoot = test::TestRoot();
  const std::string FSource = FRoot + "/source";
  const std::string FTarget = FRoot + "/target";
};

class CabinetCompressionTest : public CabinetExtractTest, public ::testing::WithParamInterface<bool> {};

TEST_P(CabinetCompressionTest, ExtractsEveryFileWithItsFoldersAndDate) {
  const std::string big = test::SampleData(300000, 1);
  const std::string cabinet =
      Cabinet({{"readme.txt", "hello\n"}, {"sub/deep/data.bin", big}, {"empty", ""}}, GetParam());

  // The target is made with its parents.
  ASSERT_EQ(0, ExtractCabinet(cabinet, FTarget + "/new/folder"));

  const std::string out = FTarget + "/new/folder";
  EXPECT_EQ("hello\n", ReadFileText(out + "/readme.txt"));
  EXPECT_EQ(big, ReadFileText(out + "/sub/deep/data.bin"));
  EXPECT_EQ(0u, fs::file_size(out + "/empty"));
  EXPECT_EQ((std::vector<std::string>{"empty", "readme.txt", "sub"}), Listing(out));
  EXPECT_EQ(SampleTime(), Facts(out + "/sub/deep/data.bin").LastWrite);
  EXPECT_EQ(SampleTime(), Facts(out + "/readme.txt").LastWrite);
  EXPECT_EQ(0644u, Facts(out + "/readme.txt").Mode);
}

INSTANTIATE_TEST_SUITE_P(StoredAndMszip, CabinetCompressionTest, ::testing::Bool());

TEST_F(CabinetExtractTest, EntryWithoutDateGetsTheExtractionMoment) {
  const std::string cabinet = Cabinet({{"nodate.txt", "x"}, {"dated.txt", "y"}}, true);
  ASSERT_TRUE(test::ZeroCabinetDate(cabinet, "nodate.txt"));

  const std::time_t before = std::time(nullptr);
  ASSERT_EQ(0, ExtractCabinet(cabinet, FTarget));
  const std::time_t after = std::time(nullptr);

  const std::time_t written = Facts(FTarget + "/nodate.txt").LastWrite;
  EXPECT_GE(written, before);
  EXPECT_LE(written, after);
  EXPECT_EQ(SampleTime(), Facts(FTarget + "/dated.txt").LastWrite);
}

TEST_F(CabinetExtractTest, EmptyTargetIsTheCurrentFolder) {
  const std::string cabinet = Cabinet({{"top.txt", "t"}, {"dir/inner.txt", "i"}});
  fs::create_directories(FTarget);
  const fs::path previous = fs::current_path();
  fs::current_path(FTarget);
  const int result = ExtractCabinet(cabinet, "");
  fs::current_path(previous);

  ASSERT_EQ(0, result);
  EXPECT_EQ("t", ReadFileText(FTarget + "/top.txt"));
  EXPECT_EQ("i", ReadFileText(FTarget + "/dir/inner.txt"));
}

TEST_F(CabinetExtractTest, ContentsNotTheNameMakeACabinet) {
  // Upper-case extension and no extension at all extract the same.
  for (const std::string name : {"UPPER.CAB", "plain"}) {
    const std::string cabinet = Cabinet({{"f.txt", name}}, true, name);
    ASSERT_EQ(0, ExtractCabinet(cabinet, FTarget + "/" + name));
    EXPECT_EQ(name, ReadFileText(FTarget + "/" + name + "/f.txt"));
  }
}

TEST_F(CabinetExtractTest, RefusesNamesThatReachOutsideAndWritesNothing) {
  const std::string outside = FRoot + "/abs";
  std::string outsideBackslashed = outside;
  std::replace(outsideBackslashed.begin(), outsideBackslashed.end(), '/', '\\');
  // Each hostile name replaces a harmless stored name of the same length.
  const struct {
    std::string Stored, Hostile;
  } cases[] = {
      {"zz\\evil", "..\\evil"},
      {"zz\\evil", "../evil"},
      {"dd\\zz\\evil", "dd\\..\\..\\e"},
      {std::string(outside.size(), 'A'), outside},
      {std::string(outside.size(), 'B'), outsideBackslashed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Hostile);
    fs::remove_all(FSource);
    fs::remove_all(FTarget);
    std::string relative = c.Stored;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    const std::string cabinet = Cabinet({{"first.txt", "1"}, {relative, "evil"}}, true);
    ASSERT_TRUE(test::PatchBytes(cabinet, c.Stored + '\0', c.Hostile + '\0'));
    fs::create_directories(FTarget);

    EXPECT_EQ(-1, ExtractCabinet(cabinet, FTarget));

    EXPECT_TRUE(Listing(FTarget).empty());
    EXPECT_FALSE(Facts(FRoot + "/evil").Exists);
    EXPECT_FALSE(Facts(outside).Exists);
    EXPECT_FALSE(Facts(FRoot + "/e").Exists);
  }
}

TEST_F(CabinetExtractTest, ReplacesALinkAtAnEntryNameNeverItsTarget) {
  const std::string cabinet = Cabinet({{"a.txt", "from cabinet"}}, true);
  const std::string victim = FRoot + "/victim";
  test::WriteFileText(victim, "precious");
  fs::create_directories(FTarget);
  fs::create_symlink(victim, FTarget + "/a.txt");

  ASSERT_EQ(0, ExtractCabinet(cabinet, FTarget));

  EXPECT_EQ("precious", ReadFileText(victim));
  EXPECT_FALSE(Facts(FTarget + "/a.txt").IsLink);
  EXPECT_EQ("from cabinet", ReadFileText(FTarget + "/a.txt"));
  EXPECT_EQ(0644u, Facts(FTarget + "/a.txt").Mode);  // not the victim's mode
}

TEST_F(CabinetExtractTest, NeverWritesThroughALinkedFolder) {
  const std::string cabinet = Cabinet({{"sub/passwd", "evil"}}, true);
  const std::string elsewhere = FRoot + "/elsewhere";
  fs::create_directories(elsewhere);
  fs::create_directories(FTarget);
  fs::create_directory_symlink(elsewhere, FTarget + "/SUB");  // found without regard to case

  EXPECT_EQ(-1, ExtractCabinet(cabinet, FTarget));
  EXPECT_TRUE(Listing(elsewhere).empty());
}

TEST_F(CabinetExtractTest, DamagedOrForeignFilesFailAndLeaveGoodFiles) {
  const std::string data = test::SampleData(200000, 2);
  const std::string good = Cabinet({{"a.txt", data}}, true);
  const std::string cabinetData = ReadFileText(good);
  const std::string damaged = FRoot + "/damaged.cab";
  std::string flipped = cabinetData;
  flipped[flipped.size() / 2] ^= 0x55;
  const struct {
    std::string Name, Contents;
  } cases[] = {
      {"truncated in the data", cabinetData.substr(0, cabinetData.size() / 2)},
      {"truncated in the header", cabinetData.substr(0, 20)},
      {"damaged data", flipped},
      {"not a cabinet", "MZ this is some other file"},
      {"empty", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    fs::remove_all(FTarget);
    test::WriteTree(FTarget, {{"a.txt", "good"}}, SampleTime());
    test::WriteFileText(damaged, c.Contents);

    EXPECT_EQ(-1, ExtractCabinet(damaged, FTarget));

    EXPECT_EQ("good", ReadFileText(FTarget + "/a.txt"));
    EXPECT_EQ(std::vector<std::string>{"a.txt"}, Listing(FTarget));  // no temporary file left
  }
  EXPECT_EQ(-1, ExtractCabinet(FRoot + "/missing.cab", FTarget));
}

TEST_F(CabinetExtractTest, AFileThatCannotBeCreatedStopsTheExtraction) {
  const std::string cabinet = Cabinet({{"a.txt", "a"}, {"b.txt", "b"}});
  fs::create_directories(FTarget + "/a.txt/occupied");  // a folder holds the name

  EXPECT_EQ(-1, ExtractCabinet(cabinet, FTarget));
  EXPECT_TRUE(fs::is_directory(FTarget + "/a.txt"));
}

TEST_F(CabinetExtractTest, ExistingNamesAreFoundWithoutRegardToCase) {
  const std::string cabinet = Cabinet({{"readme.txt", "new"}, {"sub/x.txt", "x"}}, true);
  test::WriteTree(FTarget, {{"README.TXT", "old"}, {"Sub/keep", "k"}}, SampleTime());
  chmod((FTarget + "/README.TXT").c_str(), 0600);

  ASSERT_EQ(0, ExtractCabinet(cabinet, FTarget));

  EXPECT_EQ((std::vector<std::string>{"README.TXT", "Sub"}), Listing(FTarget));
  EXPECT_EQ("new", ReadFileText(FTarget + "/README.TXT"));
  EXPECT_EQ(0600u, Facts(FTarget + "/README.TXT").Mode);  // the replaced file's mode
  EXPECT_EQ("x", ReadFileText(FTarget + "/Sub/x.txt"));
}

TEST_F(CabinetExtractTest, ProgramsAndScriptsBecomeExecutable) {
  const std::string cabinet =
      Cabinet({{"run.sh", "#!/bin/sh\necho hi\n"}, {"tool", std::string("\x7F" "ELF\2\1\1", 7)}, {"doc", "#"}}, true);

  ASSERT_EQ(0, ExtractCabinet(cabinet, FTarget));

  EXPECT_EQ(0755u, Facts(FTarget + "/run.sh").Mode);
  EXPECT_EQ(0755u, Facts(FTarget + "/tool").Mode);
  EXPECT_EQ(0644u, Facts(FTarget + "/doc").Mode);
}

}  // namespace
}  // namespace vyn
