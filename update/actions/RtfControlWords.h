#pragma once
// What the control words of RTF mean, for every reader of it: the destinations whose content is
// not body text, the characters, paragraph and character formatting, and the font table's
// code pages.

#include <cstddef>
#include <string_view>

namespace vyn {

// Deeper groups are read as part of the group at this depth, so junk cannot grow a reader's
// state stack.
constexpr std::size_t KMaxRtfGroupDepth = 1000;

enum TRtfDestination { rdText, rdSkip, rdFontTable, rdColourTable };

enum TRtfAlignment { ralLeft, ralCentre, ralRight, ralJustify };

enum TRtfAction {
  raSkipGroup,
  raFontTable,
  raColourTable,
  raParagraph,
  raChar,
  raCell,
  raRow,
  raParagraphDefaults,
  raPlain,
  raBold,
  raItalic,
  raUnderline,
  raUnderlineNone,
  raFontSize,
  raColour,
  raAlign,
  raUnicode,
  raUnicodeSkip,
  raCodePage,
  raDefaultFont,
  raFont,
  raFontCharset,
  raFontCodePage,
  raRed,
  raGreen,
  raBlue,
};

struct TRtfWord {
  TRtfAction Action;
  // raChar: the character; raCodePage: the code page (0: the parameter's); raAlign: a
  // TRtfAlignment
  int Value = 0;
};

// The meaning of a control word; null for a word that none of the readers acts on.
const TRtfWord* FindRtfWord(std::string_view word);

// The character that the control symbol "\<symbol>" writes (escaped braces and backslash,
// non-breaking space, optional and non-breaking hyphens); 0 for the others.
char32_t RtfSymbolChar(unsigned char symbol);

}  // namespace vyn
