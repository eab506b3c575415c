#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "TestEnvironment.h"
#include "platform/IniFile.h"

namespace vyn {
namespace {

using test::ReadFileText;
using test::TestRoot;
using test::WriteFileText;

std::string Fixture(const std::string& name) {
  return std::string(VYN_TEST_FIXTURE_DIR) + "/ini/" + name;
}

std::string WriteIni(const std::string& text, const std::string& name = "test.ini") {
  const std::string path = TestRoot() + "/" + name;
  WriteFileText(path, text);
  return path;
}

TEST(IniRead, ControlFileLookups) {
  const TIniFile ini(Fixture("control.ini"));
  struct TCase {
    const char* Section;
    const char* Key;
    const char* Expected;
  };
  const TCase cases[] = {
      {"update", "signature", "Sig-01"},
      {"UPDATE", "SIGNATURE", "Sig-01"},               // names without case
      {" update ", " descr ", "Version 2\\nCorrections"},  // names trimmed, text kept
      {"file1", "mandatory", "1"},                     // value trimmed
      {"file1", "url", "http://example.invalid/a.cab"},  // [FILE1] later in the file is ignored
      {"file1", "targetdir", "{APP}\\data"},
      {"whatsnewfr", "file", "http://example.invalid/news fr.txt"},  // quotes stripped
      {"file2", "url", "<default>"},                   // missing section
      {"update", "time", "<default>"},                 // missing key
      {"", "signature", "<default>"},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ini.ReadString(c.Section, c.Key, "<default>"), c.Expected)
        << c.Section << "/" << c.Key;
  EXPECT_EQ(ini.ReadInteger("files", "count", 0), 2);
  EXPECT_EQ(ini.ReadInteger("update", "newchecksum", -1), static_cast<int>(0xB2D05E00u));
  EXPECT_EQ(ini.ReadSections(),
            (std::vector<std::string>{"update", "files", "file1", "whatsnewFR"}));
  EXPECT_EQ(ini.ReadSection("FILE1"),
            (std::vector<std::string>{"url", "targetdir", "compressed", "mandatory"}));
  EXPECT_TRUE(ini.SectionExists("Files"));
  EXPECT_FALSE(ini.SectionExists("file2"));
  EXPECT_TRUE(ini.ValueExists("file1", "Compressed"));
  EXPECT_FALSE(ini.ValueExists("file1", "hidden"));
}

TEST(IniRead, LineShapes) {
  const TIniFile ini(WriteIni(
      "orphan=before any section\n"
      "[a]\n"
      "k=first\n"
      "K=second\n"
      ";k=commented\n"
      "  spaced key  =  spaced value  \n"
      "empty=\n"
      "=no key\n"
      "no equals sign\n"
      "eq=a=b\n"
      "single='x'\n"
      "mixed=\"x'\n"
      "lone=\"\n"
      "both=\"\"\n"
      "inner=\"a\" b \"c\"\n"
      "[ b ]trailing text\n"
      "x=1\n"
      "[c\n"
      "y=2"));
  struct TCase {
    const char* Section;
    const char* Key;
    const char* Expected;
  };
  const TCase cases[] = {
      {"", "orphan", "-"},
      {"a", "k", "first"},
      {"a", "spaced key", "spaced value"},
      {"a", "empty", ""},
      {"a", "no equals sign", "-"},
      {"a", "eq", "a=b"},
      {"a", "single", "x"},
      {"a", "mixed", "\"x'"},
      {"a", "lone", "\""},
      {"a", "both", ""},
      {"a", "inner", "a\" b \"c"},
      {"b", "x", "1"},
      {"c", "y", "2"},  // unclosed header, last line without a line end
  };
  for (const TCase& c : cases)
    EXPECT_EQ(ini.ReadString(c.Section, c.Key, "-"), c.Expected) << c.Section << "/" << c.Key;
  EXPECT_EQ(ini.ReadSection("a"), (std::vector<std::string>{"k", "spaced key", "empty", "eq",
                                                            "single", "mixed", "lone", "both",
                                                            "inner"}));
}

TEST(IniRead, IntegerRule) {
  struct TCase {
    const char* Text;
    int Expected;
  };
  const TCase cases[] = {
      {"42", 42},          {"+42", 42},       {"-42", -42},         {"007", 7},
      {" 12 ", 12},        {"\"12\"", 12},    {"0x1F", 31},         {"0XfF", 255},
      {"$10", 16},         {"-0x10", -16},    {"0xFFFFFFFF", -1},   {"0x7FFFFFFF", 2147483647},
      {"2147483647", 2147483647},             {"-2147483648", -2147483647 - 1},
      {"2147483648", 99},  {"-2147483649", 99}, {"0x100000000", 99}, {"+0x80000000", 99},
      {"-0x80000000", -2147483647 - 1},       {"12abc", 99},        {"1 2", 99},
      {"", 99},            {"-", 99},         {"0x", 99},           {"$", 99},
      {"1.5", 99},         {"ten", 99},       {"99999999999999999999999", 99},
  };
  for (const TCase& c : cases) {
    const TIniFile ini(WriteIni(std::string("[s]\nn=") + c.Text + "\n"));
    EXPECT_EQ(ini.ReadInteger("s", "n", 99), c.Expected) << "'" << c.Text << "'";
  }
  const TIniFile ini(WriteIni("[s]\n"));
  EXPECT_EQ(ini.ReadInteger("s", "missing", -1), -1);
}

TEST(IniRead, LimitedBufferKeepsWholeCharacters) {
  const std::string longValue(3000, 'a');
  const TIniFile ini(WriteIni("[update]\ndescr=" + longValue + "\naccents=ééé\n"));
  EXPECT_EQ(ini.ReadStringLimited("update", "descr", "", 2048), longValue.substr(0, 2047));
  EXPECT_EQ(ini.ReadStringLimited("update", "accents", "", 3), "éé");
  EXPECT_EQ(ini.ReadStringLimited("update", "accents", "", 10), "ééé");
  EXPECT_EQ(ini.ReadStringLimited("update", "missing", "default", 4), "def");
  EXPECT_EQ(ini.ReadStringLimited("update", "descr", "", 0), "");
}

TEST(IniRead, EncodingsAndLineEnds) {
  const TIniFile utf16(Fixture("utf16le-crlf.ini"));
  EXPECT_EQ(utf16.ReadString("update", "descr", ""), "Version 2\\nCorrections ✓");
  EXPECT_EQ(utf16.ReadInteger("update", "count", 0), 3);
  EXPECT_EQ(utf16.ReadString("other", "key", ""), "  quoted  ");

  const TIniFile bom(WriteIni("\xEF\xBB\xBF[s]\r\nk=v\r\n"));
  EXPECT_EQ(bom.ReadSections(), std::vector<std::string>{"s"});
  EXPECT_EQ(bom.ReadString("s", "k", ""), "v");
}

TEST(IniRead, BadInputReadsAsDefaults) {
  const TIniFile missing(TestRoot() + "/no-such.ini");
  EXPECT_EQ(missing.ReadString("s", "k", "d"), "d");
  EXPECT_TRUE(missing.ReadSections().empty());

  std::string junk;
  for (int i = 0; i < 100000; ++i) junk += static_cast<char>((i * 7919) % 256);
  const TIniFile binary(WriteIni(junk + "\n[s]\nk=v\n", "junk.ini"));
  EXPECT_EQ(binary.ReadString("s", "k", ""), "v");

  const TIniFile nul(WriteIni(std::string("[s]\nk=a\0b\nn=5\0\n", 15), "nul.ini"));
  EXPECT_EQ(nul.ReadString("s", "k", ""), std::string("a\0b", 3));
  EXPECT_EQ(nul.ReadInteger("s", "n", -1), -1);

  const std::string huge(10 * 1024 * 1024, 'x');
  const TIniFile longLine(WriteIni("[s]\nbig=" + huge + "\nk=v\n", "long.ini"));
  EXPECT_EQ(longLine.ReadString("s", "big", "").size(), huge.size());
  EXPECT_EQ(longLine.ReadString("s", "k", ""), "v");

  // A folder in place of the file cannot be read: defaults, and no write replaces it.
  const std::string folder = TestRoot() + "/folder.ini";
  ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
  TIniFile notAFile(folder);
  EXPECT_EQ(notAFile.ReadString("s", "k", "d"), "d");
  EXPECT_FALSE(notAFile.WriteString("s", "k", "v"));
}

TEST(IniRead, ManyLinesParse) {
  std::string text;
  for (int section = 0; section < 20000; ++section) {
    text += "[section" + std::to_string(section) + "]\r\n";
    for (int key = 0; key < 32; ++key) text += "key" + std::to_string(key) + "=some value\r\n";
  }
  ASSERT_GT(text.size(), 10u * 1000 * 1000);
  const TIniFile ini(WriteIni(text));
  EXPECT_EQ(ini.ReadSections().size(), 20000u);
  EXPECT_EQ(ini.ReadString("SECTION19999", "KEY31", ""), "some value");
}

TEST(IniWrite, KeepsEverythingElse) {
  const std::string path = WriteIni(
      "; header comment\r\n"
      "[Update]\r\n"
      "Date=01/01/2026   \r\n"
      "; about the time\r\n"
      "time=10:00\r\n"
      "\r\n"
      "[files]\r\n"
      "count=1\r\n"
      "; trailing comment of files\r\n"
      "\r\n"
      "[update]\r\n"
      "date=shadowed\r\n");
  TIniFile ini(path);
  EXPECT_TRUE(ini.WriteString("UPDATE", "DATE", "02/02/2026"));  // replaces, keeps the spelling
  EXPECT_TRUE(ini.WriteString("files", "file1", "a.cab"));      // after the last key
  EXPECT_TRUE(ini.WriteInteger("new", "n", -5));                 // new section at the end
  EXPECT_EQ(ReadFileText(path),
            "; header comment\r\n"
            "[Update]\r\n"
            "Date=02/02/2026\r\n"
            "; about the time\r\n"
            "time=10:00\r\n"
            "\r\n"
            "[files]\r\n"
            "count=1\r\n"
            "file1=a.cab\r\n"
            "; trailing comment of files\r\n"
            "\r\n"
            "[update]\r\n"
            "date=shadowed\r\n"
            "\r\n"
            "[new]\r\n"
            "n=-5\r\n");
  EXPECT_EQ(ini.ReadString("update", "date", ""), "02/02/2026");
  EXPECT_EQ(TIniFile(path).ReadInteger("new", "n", 0), -5);
}

TEST(IniWrite, PlacesNewLines) {
  struct TCase {
    const char* Before;
    const char* Section;
    const char* After;
  };
  const TCase cases[] = {
      {"", "s", "[s]\nk=v\n"},
      {"[s]", "s", "[s]\nk=v\n"},                          // header without a line end
      {"[s]\r\na=1", "S", "[s]\r\na=1\r\nk=v\r\n"},          // last line without a line end
      {"[s]\n\n[t]\n", "s", "[s]\nk=v\n\n[t]\n"},            // section without keys
      {"; only a comment\n", "s", "; only a comment\n\n[s]\nk=v\n"},
      {"[s]\nk=old\n[s]\nk=other\n", "s", "[s]\nk=v\n[s]\nk=other\n"},
      {"[s]\nk = \"old\" \n", "s", "[s]\nk=v\n"},
      {"a=1\r", "s", "a=1\r\n\n[s]\nk=v\n"},                // a lone carriage return is no line end
      {"[s]\r", "s", "[s]\r\nk=v\n"},
  };
  for (const TCase& c : cases) {
    const std::string path = WriteIni(c.Before);
    EXPECT_TRUE(TIniFile(path).WriteString(c.Section, "k", "v"));
    EXPECT_EQ(ReadFileText(path), c.After) << "'" << c.Before << "'";
  }
}

TEST(IniWrite, CreatesFileAndRoundTripsValues) {
  const std::string path = TestRoot() + "/created.ini";
  TIniFile ini(path);
  const std::string values[] = {"plain", "", "  padded  ", "\"quoted\"", "'single'",
                                "a=b;c", "\"half",    "é ✓"};
  for (std::size_t i = 0; i < std::size(values); ++i)
    EXPECT_TRUE(ini.WriteString("s", "k" + std::to_string(i), values[i]));
  const TIniFile reread(path);
  for (std::size_t i = 0; i < std::size(values); ++i)
    EXPECT_EQ(reread.ReadString("s", "k" + std::to_string(i), "-"), values[i]) << i;
  EXPECT_EQ(ReadFileText(path).substr(0, 13), "[s]\nk0=plain\n");
  struct stat info {};
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  const mode_t mask = umask(0);
  umask(mask);
  EXPECT_EQ(info.st_mode & 0777, 0666u & ~mask);
}

TEST(IniWrite, RefusesWhatCannotBeStored) {
  const std::string path = WriteIni("[s]\nk=v\n");
  TIniFile ini(path);
  EXPECT_FALSE(ini.WriteString("s", "k", "two\nlines"));
  EXPECT_FALSE(ini.WriteString("s", "k", "cr\rhere"));
  EXPECT_FALSE(ini.WriteString("s", "k", std::string("nul\0", 4)));
  EXPECT_FALSE(ini.WriteString("s", "a=b", "v"));
  EXPECT_FALSE(ini.WriteString("s", "", "v"));
  EXPECT_FALSE(ini.WriteString("s", ";k", "v"));
  EXPECT_FALSE(ini.WriteString("a]b", "k", "v"));
  EXPECT_FALSE(ini.WriteString("", "k", "v"));
  EXPECT_FALSE(ini.WriteString("s\n[t", "k", "v"));
  EXPECT_EQ(ReadFileText(path), "[s]\nk=v\n");
}

TEST(IniWrite, DeleteKeyAndEraseSection) {
  const std::string path = WriteIni(
      "[a]\nk=1\nother=2\nK=3\n[b]\nk=4\n[A]\nk=5\n; end\n");
  TIniFile ini(path);
  EXPECT_TRUE(ini.DeleteKey("a", "k"));
  EXPECT_FALSE(ini.ValueExists("a", "k"));
  EXPECT_EQ(ReadFileText(path), "[a]\nother=2\n[b]\nk=4\n[A]\nk=5\n; end\n");
  EXPECT_TRUE(ini.EraseSection("A"));
  EXPECT_FALSE(ini.SectionExists("a"));
  EXPECT_EQ(ReadFileText(path), "[b]\nk=4\n");
  EXPECT_TRUE(ini.DeleteKey("missing", "k"));
  EXPECT_TRUE(ini.EraseSection("missing"));
  EXPECT_EQ(ReadFileText(path), "[b]\nk=4\n");

  TIniFile absent(TestRoot() + "/absent.ini");
  EXPECT_TRUE(absent.DeleteKey("s", "k"));
  EXPECT_NE(access(absent.FileName().c_str(), F_OK), 0);  // not created by a no-op
}

TEST(IniWrite, KeepsModeEncodingAndLink) {
  const std::string path = TestRoot() + "/windows.ini";
  WriteFileText(path, ReadFileText(Fixture("utf16le-crlf.ini")));
  ASSERT_EQ(chmod(path.c_str(), 0640), 0);
  const std::string link = TestRoot() + "/link.ini";
  ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);

  TIniFile ini(link);
  ASSERT_TRUE(ini.WriteString("update", "count", "4"));
  struct stat info {};
  ASSERT_EQ(lstat(link.c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
  ASSERT_EQ(stat(path.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  const std::string bytes = ReadFileText(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  const TIniFile reread(path);
  EXPECT_EQ(reread.ReadInteger("update", "count", 0), 4);
  EXPECT_EQ(reread.ReadString("update", "descr", ""), "Version 2\\nCorrections ✓");
  EXPECT_EQ(reread.ReadString("other", "key", ""), "  quoted  ");
}

TEST(IniWrite, ConcurrentWritersLoseNothing) {
  const std::string path = TestRoot() + "/shared.ini";
  constexpr int kWriters = 4;
  constexpr int kKeys = 40;
  std::vector<std::thread> writers;
  for (int w = 0; w < kWriters; ++w)
    writers.emplace_back([&, w] {
      TIniFile ini(path);  // each writer has its own, soon outdated, copy
      for (int k = 0; k < kKeys; ++k)
        ini.WriteInteger("w" + std::to_string(w), "k" + std::to_string(k), k);
    });
  for (std::thread& writer : writers) writer.join();
  const TIniFile ini(path);
  for (int w = 0; w < kWriters; ++w)
    EXPECT_EQ(ini.ReadSection("w" + std::to_string(w)).size(), static_cast<std::size_t>(kKeys));
}

}  // namespace
}  // namespace vyn
