// The plain text of rich text, as the command line prints it: the texts of real word
// processors' files, the rules for characters, code pages and skipped parts, and junk.

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "update/actions/RtfPlainText.h"

namespace vyn {
namespace {

using namespace std::string_literals;

std::string Fixture(const std::string& name) {
  std::ifstream file(std::string(VYN_RTF_FIXTURE_DIR) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file) << name;
  std::ostringstream bytes;
  bytes << file.rdbuf();
  return bytes.str();
}

// The same texts as the Qt reader shows, its line separators as line ends.
TEST(RtfPlainTextTest, WordProcessorFiles) {
  EXPECT_EQ(RtfToPlainText(Fixture("libreoffice_whatsnew.rtf")),
            "Édition été 2.0\n"
            "Prix : 5 € — italique, souligné, rouge et petit.\n"
            "Ελληνικά 中文");
  EXPECT_EQ(RtfToPlainText(Fixture("libreoffice_licence.rtf")),
            "Contrat de licence\n"
            "Lisez «\u00A0ceci\u00A0».\n"
            "Article\tDurée\n"
            "Fin.");
  EXPECT_EQ(RtfToPlainText(Fixture("pad_notes.rtf")),
            "Quoi de neuf\n"
            "Améliorations : rapide, rouge, € 5\n"
            "Ελληνικά\n"
            "Fin\tde l’article\nsuite");
}

TEST(RtfPlainTextTest, EveryTruncationReadsAPrefix) {
  const std::string rtf = Fixture("pad_notes.rtf");
  const std::string full = RtfToPlainText(rtf);
  for (std::size_t length = 0; length < rtf.size(); ++length) {
    std::string text = RtfToPlainText(rtf.substr(0, length));
    // A cut through an escape can change the last character ("\'e" reads as "e"), never what
    // comes before it.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
      text.pop_back();
    if (!text.empty()) text.pop_back();
    EXPECT_EQ(full.substr(0, text.size()), text) << length;
  }
}

struct TCase {
  const char* Name;
  std::string Rtf;
  std::string Text;
};

TEST(RtfPlainTextTest, Cases) {
  const TCase cases[] = {
      {"escaped characters", "{\\rtf1 a\\\\b\\{c\\}d\\~e\\-f\\_g}",
       "a\\b{c}d\u00A0e\u00ADf\u2011g"},
      {"named characters",
       "{\\rtf1 \\emdash\\endash\\bullet\\lquote\\rquote\\ldblquote\\rdblquote x}", "—–•‘’“”x"},
      {"one delimiting blank, the next is text", "{\\rtf1 \\b  a\\b0\tb}", " a\tb"},
      {"raw line ends are not text", "{\\rtf1 a\r\nb\nc}", "abc"},
      {"backslash line end is a paragraph", "{\\rtf1 a\\\nb}", "a\nb"},
      {"paragraphs, empty ones kept, the last break dropped",
       "{\\rtf1 a\\par\\par b\\line c\\tab d\\par}", "a\n\nb\nc\td"},
      {"page and section end paragraphs", "{\\rtf1 a\\page b\\sect c}", "a\nb\nc"},
      {"empty cell in a row", "{\\rtf1 \\trowd a\\cell\\cell b\\cell\\row c}", "a\t\tb\nc"},
      {"hex escape, upper-case digits", "{\\rtf1 caf\\'e9 \\'C9t\\'e9}", "café Été"},
      {"broken hex escape is dropped", "{\\rtf1 a\\'zzb\\'4}", "azzb4"},
      {"raw 8-bit text in the document's code page", "{\\rtf1\\ansi caf\xe9 \x80}", "café €"},
      {"Cyrillic code page", "{\\rtf1\\ansi\\ansicpg1251 \\'cc\\'e8\\'f0}", "Мир"},
      {"Mac code page", "{\\rtf1\\mac caf\\'8e}", "café"},
      {"double-byte code page, escapes decoded together",
       "{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}", "日本"},
      {"double-byte code page, a lead byte alone", "{\\rtf1\\ansicpg932 \\'93\\'fa\\'93\\u98?}",
       "日\uFFFDb"},
      {"font charset beats the document's code page",
       "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset204 Arial;}}\\f1\\'c0\\f0\\'c0}", "АÀ"},
      {"font table without inner groups",
       "{\\rtf1{\\fonttbl\\f0\\fcharset161 A;\\f1\\fcharset0 B;}\\f0\\'e1\\f1\\'e1}", "αá"},
      {"plain returns to the default font",
       "{\\rtf1\\deff1{\\fonttbl{\\f0 A;}{\\f1\\fcharset204 B;}}\\f0\\'c0\\plain\\'c0}", "ÀА"},
      {"unknown code page reads as 1252", "{\\rtf1\\ansi\\ansicpg99999 \\'80\\'e9}", "€é"},
      {"unicode with one fallback byte", "{\\rtf1 \\u8364?\\u233\\'e9!}", "€é!"},
      {"negative unicode above 32767", "{\\rtf1 \\u-4064?}", "\uF020"},
      {"skip count two, control words count as one",
       "{\\rtf1\\uc2 \\u233\\'65\\'65x\\u233 \\tab\\'41y}", "éxéy"},
      {"skip count zero", "{\\rtf1\\uc0 \\u233 x}", "éx"},
      {"skip count restored by the group", "{\\rtf1 {\\uc3 \\u233 abcd}\\u233 ab}", "édéb"},
      {"fallback skipping stops at a brace", "{\\rtf1\\uc5 \\u233 a{b}c}", "ébc"},
      {"surrogate pair", "{\\rtf1 \\u-10179?\\u-8704?}", "😀"},
      {"half surrogate pairs", "{\\rtf1 \\u-10179?a\\u-8704?b\\u-10179?}", "\uFFFDa\uFFFDb\uFFFD"},
      {"unicode past 16 bits", "{\\rtf1 \\u128512?x}", "😀x"},
      {"unicode zero and out of range", "{\\rtf1 \\u0?a\\u-70000?b\\u99999999?c}",
       "a\uFFFDb\uFFFDc"},
      {"skipped destinations",
       "{\\rtf1{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red1;}{\\stylesheet{\\s0 Normal;}}"
       "{\\info{\\title T}{\\author A}}{\\*\\generator G;}{\\*\\anything{\\nested x}}"
       "{\\header h}{\\footerl f}{\\headerf h}{\\listtable{\\list l}}{\\listoverridetable o}"
       "{\\xmlnstbl x}{\\*\\themedata 00}{\\*\\colorschememapping c}{\\*\\datastore d}"
       "{\\*\\latentstyles l}{\\*\\rsidtbl r}{\\*\\pgdsctbl p}{\\object o}{\\footnote n}a"
       "{\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt lien}}b}",
       "alienb"},
      {"picture with binary data holding braces", "{\\rtf1 a{\\pict\\bin6 }}}\\\\{b}c}", "ac"},
      {"binary data outside a picture", "{\\rtf1 a\\bin3 xyzb}", "ab"},
      {"binary count past the end", "{\\rtf1 a\\bin999999999 bc}", "a"},
      {"negative binary count", "{\\rtf1 a\\bin-5 b}", "ab"},
      {"NUL bytes are not text", "{\\rtf1 a\0b\\'00c\\ansicpg1251 \\'00d}"s, "abcd"},
      // Escape sequences of a terminal, written as escapes, raw bytes or 1252's C1 gaps.
      {"control characters are dropped",
       "{\\rtf1 a\\'1b[31mb\\u27?c\\u155?d\\'81e\x7f"
       "f\\'9bg}",
       "a[31mbcdef›g"},
      {"missing closing braces", "{\\rtf1 a{\\b b", "ab"},
      {"stray closing brace ends the document", "{\\rtf1 a}}b}c", "a"},
      {"text after the document", "{\\rtf1 a} b", "a"},
      {"trailing backslash", "{\\rtf1 a\\", "a"},
      {"unknown control words and symbols are ignored", "{\\rtf1 a\\foo42 b\\|c\\:d\\zzz-7e}",
       "abcde"},
      {"long parameter ends the word, not the text",
       "{\\rtf1 \\fs123456789012345678 a\\uc99999999999 \\u233 b}", "aé"},
      {"long control word", "{\\rtf1 \\" + std::string(100000, 'x') + " a}", "a"},
      {"deep nesting keeps the text",
       "{\\rtf1 a" + std::string(100000, '{') + "b" + std::string(100000, '}') + "c}", "abc"},
      {"deep nesting before the document", std::string(100000, '{') + "\\rtf1 z", "z"},
      {"closing braces before the document", std::string(100000, '}') + "{\\rtf1 z}", "z"},
      {"empty", "", ""},
  };
  for (const TCase& c : cases) EXPECT_EQ(RtfToPlainText(c.Rtf), c.Text) << c.Name;
}

// A server's bytes: every input ends, gives valid UTF-8 without control characters, and at most
// a few bytes for each byte read.
TEST(RtfPlainTextTest, JunkEndsQuietlyInBoundedOutput) {
  std::mt19937 random(20240611);
  const std::string alphabet = "{}\\'*;0123456789-abinuc par fs ansicpg932\x80\xff\x1b\0"s;
  for (int round = 0; round < 300; ++round) {
    std::string junk(4096, ' ');
    for (char& c : junk)
      c = round % 2 == 0 ? alphabet[random() % alphabet.size()] : static_cast<char>(random());
    if (round % 3 == 0) junk.insert(0, "{\\rtf1 ");
    const std::string text = RtfToPlainText(junk);
    EXPECT_LE(text.size(), 3 * junk.size());
    for (const char c : text)
      EXPECT_TRUE(static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n');
  }
}

TEST(RtfPlainTextTest, MegabytesReadInLinearTime) {
  std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 A;}}{\\colortbl;\\red255;}";
  const std::string paragraph =
      "{\\b gras} \\i italique\\i0  caf\\'e9 \\u8364? {\\cf1\\fs30 rouge} texte\\par\n";
  const int paragraphs = 20000;
  for (int i = 0; i < paragraphs; ++i) rtf += paragraph;
  const std::string text = RtfToPlainText(rtf + "}");
  EXPECT_EQ(text.size(), paragraphs * ("gras italique café € rouge texte\n"s.size()) - 1);

  const std::string plain(2 << 20, 'x');
  EXPECT_EQ(RtfToPlainText("{\\rtf1 " + plain + "}"), plain);
}

}  // namespace
}  // namespace vyn
