#include "update/actions/RtfControlWords.h"

#include <unordered_map>

namespace vyn {

namespace {

std::unordered_map<std::string_view, TRtfWord> MakeWords() {
  std::unordered_map<std::string_view, TRtfWord> table = {
      {"fonttbl", {raFontTable}},
      {"colortbl", {raColourTable}},
      {"par", {raParagraph}},
      {"sect", {raParagraph}},
      {"page", {raParagraph}},
      {"line", {raChar, 0x2028}},
      {"tab", {raChar, '\t'}},
      {"cell", {raCell}},
      {"nestcell", {raCell}},
      {"row", {raRow}},
      {"nestrow", {raRow}},
      {"pard", {raParagraphDefaults}},
      {"plain", {raPlain}},
      {"b", {raBold}},
      {"i", {raItalic}},
      {"ulnone", {raUnderlineNone}},
      {"fs", {raFontSize}},
      {"cf", {raColour}},
      {"ql", {raAlign, ralLeft}},
      {"qc", {raAlign, ralCentre}},
      {"qr", {raAlign, ralRight}},
      {"qj", {raAlign, ralJustify}},
      {"u", {raUnicode}},
      {"uc", {raUnicodeSkip}},
      {"ansicpg", {raCodePage}},
      {"ansi", {raCodePage, 1252}},
      {"mac", {raCodePage, 10000}},
      {"pc", {raCodePage, 437}},
      {"pca", {raCodePage, 850}},
      {"deff", {raDefaultFont}},
      {"f", {raFont}},
      {"fcharset", {raFontCharset}},
      {"cpg", {raFontCodePage}},
      {"red", {raRed}},
      {"green", {raGreen}},
      {"blue", {raBlue}},
      {"emdash", {raChar, 0x2014}},
      {"endash", {raChar, 0x2013}},
      {"emspace", {raChar, 0x2003}},
      {"enspace", {raChar, 0x2002}},
      {"qmspace", {raChar, 0x2005}},
      {"bullet", {raChar, 0x2022}},
      {"lquote", {raChar, 0x2018}},
      {"rquote", {raChar, 0x2019}},
      {"ldblquote", {raChar, 0x201C}},
      {"rdblquote", {raChar, 0x201D}},
  };
  // Every underline style reads as a plain underline ("ulc" is its colour, not one of them).
  for (std::string_view word :
       {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth", "ulthd",
        "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave"})
    table.emplace(word, TRtfWord{raUnderline});
  // Destinations whose content is not body text. "\*" covers the ones that announce
  // themselves as optional.
  for (std::string_view word : {"stylesheet", "info",         "pict",      "object",
                                "header",     "headerl",      "headerr",   "headerf",
                                "footer",     "footerl",      "footerr",   "footerf",
                                "footnote",   "annotation",   "listtable", "listoverridetable",
                                "generator",  "xmlnstbl",     "themedata", "colorschememapping",
                                "datastore",  "latentstyles", "rsidtbl",   "pgdsctbl",
                                "filetbl",    "revtbl",       "fldinst",   "nonshppict",
                                "pntxta",     "pntxtb",       "ftnsep",    "ftnsepc",
                                "aftnsep",    "aftnsepc",     "ftncn",     "aftncn",
                                "template",   "xe",           "tc",        "txe",
                                "bkmkstart",  "bkmkend"})
    table.emplace(word, TRtfWord{raSkipGroup});
  return table;
}

}  // namespace

const TRtfWord* FindRtfWord(std::string_view word) {
  static const std::unordered_map<std::string_view, TRtfWord> words = MakeWords();
  const auto found = words.find(word);
  return found == words.end() ? nullptr : &found->second;
}

char32_t RtfSymbolChar(unsigned char symbol) {
  switch (symbol) {
    case '\\':
    case '{':
    case '}': return symbol;
    case '~': return 0x00A0;
    case '-': return 0x00AD;
    case '_': return 0x2011;
    default: return 0;
  }
}

}  // namespace vyn
