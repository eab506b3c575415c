// The export-file codec: what it writes reads back the same, what Windows writes reads
// correctly, and what it cannot read is refused with the file and line named.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestEnvironment.h"
#include "platform/Registry.h"

namespace vyn {
namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }
std::vector<uint8_t> Text(const std::string& s) { return Bytes(s + '\0'); }

void ExpectSameKeys(const std::vector<TRegKey>& expected, const std::vector<TRegKey>& actual) {
  ASSERT_EQ(expected.size(), actual.size());
  for (size_t k = 0; k < expected.size(); ++k) {
    EXPECT_EQ(expected[k].Path, actual[k].Path);
    ASSERT_EQ(expected[k].Values.size(), actual[k].Values.size()) << expected[k].Path;
    for (size_t v = 0; v < expected[k].Values.size(); ++v) {
      const TRegValue& e = expected[k].Values[v];
      const TRegValue& a = actual[k].Values[v];
      EXPECT_EQ(e.Name, a.Name);
      EXPECT_EQ(e.Type, a.Type) << e.Name;
      EXPECT_EQ(e.Data, a.Data) << e.Name;
    }
  }
}

const TRegValue* Find(const std::vector<TRegKey>& keys, const std::string& path, const std::string& name) {
  for (const TRegKey& key : keys)
    if (key.Path == path)
      for (const TRegValue& value : key.Values)
        if (value.Name == name) return &value;
  return nullptr;
}

TEST(RegistryExport, EveryKindOfValueRoundTrips) {
  const std::vector<TRegKey> keys = {
      {"", {{"AtRoot", REG_SZ, Text("racine")}}},
      {"Software\\Vyn",
       {
           {"", REG_SZ, Text("défaut")},
           {"Quoted \"name\" with \\ back\\slashes", REG_SZ, Text("C:\\Program Files\\\"vyn\"\\")},
           {"Unicode ☃ 𝄞", REG_SZ, Text("Été ☃ 𝄞")},
           {"Empty", REG_SZ, Text("")},
           {"TwoLines", REG_SZ, Text("un\r\ndeux")},
           {"AfterZero", REG_SZ, Bytes(std::string("a\0b\0", 4))},
           {"Expand", REG_EXPAND_SZ, Text("%HOME%/données")},
           {"Dword", REG_DWORD, {0x0a, 0x00, 0x00, 0x80}},
           {"ShortDword", REG_DWORD, {0x01}},
           {"Binary", REG_BINARY, {0x00, 0xff, 0x10}},
           {"NoBytes", REG_BINARY, {}},
           {"Multi", REG_MULTI_SZ, Bytes(std::string("un\0deux\0\0", 9))},
           {"Qword", 0xb, {1, 2, 3, 4, 5, 6, 7, 8}},
           {"None", REG_NONE, {0x42}},
       }},
      {"Software\\Vyn\\Empty key", {}},
      {"Software\\[crochets] ;point-virgule = égal", {{"@", REG_SZ, Text("pas la valeur par défaut")}}},
  };
  const std::string text = FormatRegistryExport(keys, THiveRoot::HKEY_CURRENT_USER);
  ExpectSameKeys(keys, ParseRegistryExport(text, "memory", THiveRoot::HKEY_CURRENT_USER));

  // The text stays in the form the platform's own tools read.
  for (const char* line : {
           "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER]\n",
           "\n[HKEY_CURRENT_USER\\Software\\Vyn]\n@=\"défaut\"\n",
           "\n\"Quoted \\\"name\\\" with \\\\ back\\\\slashes\"=\"C:\\\\Program Files\\\\\\\"vyn\\\"\\\\\"\n",
           "\n\"Dword\"=dword:8000000a\n",
           "\n\"ShortDword\"=hex(4):01\n",
           "\n\"Binary\"=hex:00,ff,10\n",
           "\n\"Expand\"=hex(2):25,00,48,00,4f,00,4d,00,45,00,25,00,2f,00,64,00,6f,00,6e,00,6e,\\\n"
           "  00,e9,00,65,00,73,00,00,00\n",
           "\n\"Qword\"=hex(b):01,02,03,04,05,06,07,08\n",
           "\n[HKEY_CURRENT_USER\\Software\\Vyn\\Empty key]\n\n",
       })
    EXPECT_NE(text.find(line), std::string::npos) << line << "\n--- in ---\n" << text;
  EXPECT_EQ(text.find('\r'), std::string::npos);
}

TEST(RegistryExport, ReadsTheUtf16ExportWindowsWrites) {
  const std::string path = std::string(VYN_TEST_FIXTURE_DIR) + "/registry/windows_export.reg";
  const auto keys = ParseRegistryExport(test::ReadFileText(path), path, THiveRoot::HKEY_CURRENT_USER);
  ASSERT_EQ(keys.size(), 2u);
  EXPECT_EQ(keys[1].Path, "Software\\Vyn Test\\Vide");
  EXPECT_TRUE(keys[1].Values.empty());

  const std::string key = "Software\\Vyn Test";
  struct TCase {
    const char* Name;
    uint32_t Type;
    std::vector<uint8_t> Data;
  };
  std::vector<uint8_t> counting(60);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i);
  const TCase cases[] = {
      {"", REG_SZ, Text("Défaut")},
      {"HomePage", REG_SZ, Text("https://exemple.fr/accueil")},
      {"Chemin", REG_SZ, Text("C:\\Program Files\\vyn \"x\"")},
      {"Compteur", REG_DWORD, {10, 0, 0, 0}},
      {"Negatif", REG_DWORD, {0xff, 0xff, 0xff, 0xff}},
      {"Données", REG_BINARY, {1, 2, 0xff}},
      {"Etendu", REG_EXPAND_SZ, Text("%TEMP%\\é")},
      {"Liste", REG_MULTI_SZ, Bytes(std::string("a\0b\0\0", 5))},
      {"Quad", 0xb, {1, 0, 0, 0, 0, 0, 0, 0}},
      {"Long", REG_BINARY, counting},
  };
  for (const TCase& c : cases) {
    const TRegValue* value = Find(keys, key, c.Name);
    ASSERT_NE(value, nullptr) << c.Name;
    EXPECT_EQ(value->Type, c.Type) << c.Name;
    EXPECT_EQ(value->Data, c.Data) << c.Name;
  }
  EXPECT_EQ(keys[0].Values.size(), std::size(cases));
}

TEST(RegistryExport, AcceptsTheVariantsOtherToolsWrite) {
  struct TCase {
    const char* Label;
    std::string Text;
    uint32_t Type;
    std::vector<uint8_t> Data;
  };
  const std::string key = "[HKEY_CURRENT_USER\\K]";
  const TCase cases[] = {
      {"UTF-8 with BOM and CRLF", "\xEF\xBB\xBFWindows Registry Editor Version 5.00\r\n\r\n" + key + "\r\n\"V\"=\"é\"\r\n",
       REG_SZ, Text("é")},
      {"REGEDIT4 in the Western code page", "REGEDIT4\n\n" + key + "\n\"V\"=\"\xE9t\xE9 \x80\"\n", REG_SZ,
       Text("été €")},
      {"REGEDIT4 hex(2) holds 8-bit text", "REGEDIT4\n\n" + key + "\n\"V\"=hex(2):25,41,25,00\n", REG_EXPAND_SZ,
       Text("%A%")},
      {"comments, blank lines, spaces around =",
       "Windows Registry Editor Version 5.00\n; note\n\n" + key + "\n  ; indented note\n\"V\" = dword:1\n", REG_DWORD,
       {1, 0, 0, 0}},
      {"upper-case type words", "Windows Registry Editor Version 5.00\n" + key + "\n\"V\"=DWORD:FFFFFFFE\n", REG_DWORD,
       {0xfe, 0xff, 0xff, 0xff}},
      {"hex list with spaces, continuation and trailing comma",
       "Windows Registry Editor Version 5.00\n" + key + "\n\"V\"=hex: 01, 02 ,\\\n   03,\\\n\n", REG_BINARY,
       {1, 2, 3}},
      {"unknown escape keeps its backslash", "Windows Registry Editor Version 5.00\n" + key + "\n\"V\"=\"C:\\temp\"\n",
       REG_SZ, Text("C:\\temp")},
      {"hex(1) without terminating zero gets one",
       "Windows Registry Editor Version 5.00\n" + key + "\n\"V\"=hex(1):41,00\n", REG_SZ, Text("A")},
      {"the same value twice: the last wins",
       "Windows Registry Editor Version 5.00\n" + key + "\n\"V\"=dword:1\n" + key + "\n\"v\"=dword:2\n", REG_DWORD,
       {2, 0, 0, 0}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    std::vector<TRegKey> keys;
    ASSERT_NO_THROW(keys = ParseRegistryExport(c.Text, "test.reg", THiveRoot::HKEY_CURRENT_USER));
    ASSERT_EQ(keys.size(), 1u);
    ASSERT_EQ(keys[0].Values.size(), 1u);
    EXPECT_EQ(keys[0].Values[0].Type, c.Type);
    EXPECT_EQ(keys[0].Values[0].Data, c.Data);
  }
  EXPECT_TRUE(ParseRegistryExport("", "empty.reg", THiveRoot::HKEY_CURRENT_USER).empty());
}

TEST(RegistryExport, RefusesWhatItCannotReadNamingFileAndLine) {
  const std::string head = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\K]\n";
  struct TCase {
    const char* Label;
    std::string Text;
    const char* Line;
  };
  const TCase cases[] = {
      {"garbage", "\x7f" "ELF\x01\x00\x00garbage", "ligne 1"},
      {"no header", "[HKEY_CURRENT_USER\\K]\n\"V\"=dword:1\n", "ligne 1"},
      {"unterminated string", head + "\"V\"=\"abc\n", "ligne 4"},
      {"unterminated name", head + "\"V=dword:1\n", "ligne 4"},
      {"no equals sign", head + "\"V\" dword:1\n", "ligne 4"},
      {"text after the string", head + "\"V\"=\"a\" b\n", "ligne 4"},
      {"unknown value type", head + "\"V\"=qword:1\n", "ligne 4"},
      {"dword too long", head + "\"V\"=dword:123456789\n", "ligne 4"},
      {"dword not hex", head + "\"V\"=dword:xyz\n", "ligne 4"},
      {"bad hex byte", head + "\"V\"=hex:01,1g\n", "ligne 4"},
      {"hex byte too long", head + "\"V\"=hex:012\n", "ligne 4"},
      {"empty hex item", head + "\"V\"=hex:01,,02\n", "ligne 4"},
      {"bad hex(N)", head + "\"V\"=hex(z):01\n", "ligne 4"},
      {"continuation at the end", head + "\"V\"=hex:01,\\\n", "ligne 5"},
      {"value outside a key", "Windows Registry Editor Version 5.00\n\"V\"=dword:1\n", "ligne 2"},
      {"key deletion", head + "[-HKEY_CURRENT_USER\\K]\n", "ligne 4"},
      {"value deletion", head + "\"V\"=-\n", "ligne 4"},
      {"key of another hive", head + "[HKEY_LOCAL_MACHINE\\K]\n", "ligne 4"},
      {"empty key part", head + "[HKEY_CURRENT_USER\\a\\\\b]\n", "ligne 4"},
      {"section without bracket", head + "[HKEY_CURRENT_USER\\K\n", "ligne 4"},
      {"invalid UTF-8", head + "\"V\"=\"\xE9t\xE9\"\n", "ligne 4"},
      {"stray line", head + "V=1\n", "ligne 4"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Label);
    try {
      ParseRegistryExport(c.Text, "/some/hive.reg", THiveRoot::HKEY_CURRENT_USER);
      ADD_FAILURE() << "accepted";
    } catch (const ERegistryException& error) {
      const std::string message = error.what();
      EXPECT_NE(message.find("'/some/hive.reg'"), std::string::npos) << message;
      EXPECT_NE(message.find(c.Line), std::string::npos) << message;
    }
  }
}

TEST(RegistryExport, HugeValueRoundTrips) {
  std::vector<uint8_t> big(10 * 1024 * 1024);
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<uint8_t>(i * 7);
  std::string bigText(3 * 1024 * 1024, 'x');
  const std::vector<TRegKey> keys = {{"Big", {{"Blob", REG_BINARY, big}, {"Text", REG_SZ, Text(bigText)}}}};
  const std::string text = FormatRegistryExport(keys, THiveRoot::HKEY_LOCAL_MACHINE);
  ExpectSameKeys(keys, ParseRegistryExport(text, "big.reg", THiveRoot::HKEY_LOCAL_MACHINE));
}

}  // namespace
}  // namespace vyn
