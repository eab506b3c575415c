#include "archive/LZExpand.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>

#include "TestEnvironment.h"
#include "support/ArchiveFixtures.h"

namespace fs = std::filesystem;

namespace vyn {
namespace {

using test::Facts;
using test::Listing;
using test::ReadFileText;
using test::WriteFileText;

class LZExpandTest : public ::testing::Test {
protected:
  void SetUp() override {
    umask(022);
    fs::create_directories(FFolder);
  }

  // `contents` compressed by mscompress (which drops the end of very short inputs) into `name` in the test folder, with `last` in its
  // header; the plain copy is made elsewhere.
  std::string Compressed(const std::string& name, const std::string& contents, char last) {
    const std::string plain = FRoot + "/plain" + std::to_string(FPlainFiles++);  // mscompress refuses names ending in '_'
    WriteFileText(plain, contents);
    const std::string compressed = FFolder + "/" + name;
    EXPECT_TRUE(test::MakeSzdd(plain, compressed, last));
    return compressed;
  }

  test::TIsolatedEnvironment FEnvironment;
  const std::string FRoot = test::TestRoot();
  const std::string FFolder = FRoot + "/folder";
  const std::string FData = test::SampleData(150000, 3);
  int FPlainFiles = 0;
};

TEST_F(LZExpandTest, ExpandsUnderTheHeaderNameAndDeletesTheSource) {
  const std::string source = Compressed("dezaziz.ex_", FData, 'e');

  EXPECT_EQ(FFolder + "/dezaziz.exe", ExpandLZFile(source));

  EXPECT_EQ(FData, ReadFileText(FFolder + "/dezaziz.exe"));
  EXPECT_EQ(std::vector<std::string>{"dezaziz.exe"}, Listing(FFolder));
  EXPECT_EQ(0644u, Facts(FFolder + "/dezaziz.exe").Mode);
}

TEST_F(LZExpandTest, NameWithoutFolderIsInTheCurrentFolder) {
  Compressed("notes.tx_", FData, 't');
  const fs::path previous = fs::current_path();
  fs::current_path(FFolder);
  const std::string result = ExpandLZFile("notes.tx_");
  fs::current_path(previous);

  EXPECT_EQ("notes.txt", result);
  EXPECT_EQ(FData, ReadFileText(FFolder + "/notes.txt"));
}

TEST_F(LZExpandTest, FileThatIsNotSzddStaysIntact) {
  WriteFileText(FFolder + "/plain.ex_", "not compressed at all");

  EXPECT_EQ(FFolder + "/plain.ex_", ExpandLZFile(FFolder + "/plain.ex_"));

  EXPECT_EQ("not compressed at all", ReadFileText(FFolder + "/plain.ex_"));
  EXPECT_EQ(std::vector<std::string>{"plain.ex_"}, Listing(FFolder));
  EXPECT_EQ(FFolder + "/missing.ex_", ExpandLZFile(FFolder + "/missing.ex_"));
}

TEST_F(LZExpandTest, DamagedFileNeverReplacesTheGoodOne) {
  const std::string source = Compressed("dezaziz.ex_", FData, 'e');
  const std::string bytes = ReadFileText(source);
  const auto withLength = [&](std::uint32_t length) {
    std::string patched = bytes;
    for (int i = 0; i < 4; ++i) patched[10 + i] = static_cast<char>(length >> (8 * i));
    return patched;
  };
  std::string garbage = bytes;
  for (std::size_t i = 14; i < garbage.size(); i += 7) garbage[i] = static_cast<char>(i * 31);
  const struct {
    std::string Name, Contents;
  } cases[] = {
      {"truncated", bytes.substr(0, bytes.size() / 2)},
      {"header only", bytes.substr(0, 14)},
      {"header cut short", bytes.substr(0, 11)},
      {"length larger than the data", withLength(static_cast<std::uint32_t>(FData.size() + 1))},
      {"length smaller than the data", withLength(static_cast<std::uint32_t>(FData.size() - 1))},
      {"scrambled data", garbage},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    WriteFileText(source, c.Contents);
    WriteFileText(FFolder + "/dezaziz.exe", "good");

    EXPECT_EQ(source, ExpandLZFile(source));

    EXPECT_EQ("good", ReadFileText(FFolder + "/dezaziz.exe"));
    EXPECT_EQ(c.Contents, ReadFileText(source));
    EXPECT_EQ((std::vector<std::string>{"dezaziz.ex_", "dezaziz.exe"}), Listing(FFolder));
  }
}

TEST_F(LZExpandTest, RefusesHeaderCharactersThatLeaveTheFolderOrHitTheSource) {
  const struct {
    std::string Name;
    char Last;
  } cases[] = {
      {"dezaziz.ex_", '\0'},  // no character stored
      {"dezaziz.ex_", '/'},
      {"dezaziz.ex_", '\\'},
      {"dezaziz.ex_", '_'},  // the source itself
      {"._", '.'},           // ".."
      {"_", '.'},            // "."
      {"notes.txT", 't'},    // the source itself, found without regard to case
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name + " with " + std::to_string(static_cast<int>(c.Last)));
    fs::remove_all(FFolder);
    fs::create_directories(FFolder);
    const std::string source = Compressed(c.Name, FData, c.Last);
    const std::string bytes = ReadFileText(source);

    EXPECT_EQ(source, ExpandLZFile(source));

    EXPECT_EQ(bytes, ReadFileText(source));
    EXPECT_EQ(std::vector<std::string>{c.Name}, Listing(FFolder));
  }
}

TEST_F(LZExpandTest, ReplacesALinkAtTheExpandedNameNeverItsTarget) {
  const std::string source = Compressed("dezaziz.ex_", FData, 'e');
  const std::string victim = FRoot + "/victim";
  WriteFileText(victim, "precious");
  chmod(victim.c_str(), 0600);
  fs::create_symlink(victim, FFolder + "/dezaziz.exe");

  EXPECT_EQ(FFolder + "/dezaziz.exe", ExpandLZFile(source));

  EXPECT_EQ("precious", ReadFileText(victim));
  EXPECT_FALSE(Facts(FFolder + "/dezaziz.exe").IsLink);
  EXPECT_EQ(FData, ReadFileText(FFolder + "/dezaziz.exe"));
  EXPECT_EQ(0644u, Facts(FFolder + "/dezaziz.exe").Mode);
}

TEST_F(LZExpandTest, ModeComesFromTheReplacedFileOrTheContents) {
  const std::string script = Compressed("run.s_", "#!/bin/sh\n" + FData, 'h');
  const std::string program = Compressed("tool.bi_", std::string("\x7F" "ELF\2\1\1\0", 8) + FData, 'n');
  const std::string replacing = Compressed("conf.tx_", FData, 't');
  WriteFileText(FFolder + "/conf.txt", "old");
  chmod((FFolder + "/conf.txt").c_str(), 0600);

  EXPECT_EQ(0755u, Facts(ExpandLZFile(script)).Mode);
  EXPECT_EQ(0755u, Facts(ExpandLZFile(program)).Mode);
  EXPECT_EQ(0600u, Facts(ExpandLZFile(replacing)).Mode);
  EXPECT_EQ(FData, ReadFileText(FFolder + "/conf.txt"));
}

TEST_F(LZExpandTest, ReplacesAnExistingFileWhoseNameDiffersInCase) {
  const std::string source = Compressed("dezaziz.ex_", FData, 'e');
  WriteFileText(FFolder + "/DEZAZIZ.EXE", "old");

  EXPECT_EQ(FFolder + "/DEZAZIZ.EXE", ExpandLZFile(source));

  EXPECT_EQ(std::vector<std::string>{"DEZAZIZ.EXE"}, Listing(FFolder));
  EXPECT_EQ(FData, ReadFileText(FFolder + "/DEZAZIZ.EXE"));
}

}  // namespace
}  // namespace vyn
