#include "update/ui/RtfReader.h"

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <string>
#include <unordered_map>
#include <vector>

#include "update/ui/RtfCodePages.h"
#include "update/ui/RtfTokenizer.h"

namespace vyn {

namespace {

// Deeper groups are read as part of the group at this depth, so junk cannot grow the state stack.
constexpr std::size_t KMaxGroupDepth = 1000;
// Tables are indexed by numbers the document chooses; entries past these are ignored.
constexpr std::size_t KMaxColours = 4096;
constexpr std::size_t KMaxFonts = 4096;
// RTF's default size, 12 points, and the largest that word processors offer, in half-points.
constexpr int KDefaultHalfPoints = 24;
constexpr int KMaxHalfPoints = 3276;

enum TRtfDestination { rdText, rdSkip, rdFontTable, rdColourTable };

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
  int Value = 0;  // raChar: the character; raCodePage: the code page; raAlign: the alignment
};

const std::unordered_map<std::string_view, TRtfWord>& Words() {
  static const std::unordered_map<std::string_view, TRtfWord> words = [] {
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
        {"ql", {raAlign, Qt::AlignLeft}},
        {"qc", {raAlign, Qt::AlignHCenter}},
        {"qr", {raAlign, Qt::AlignRight}},
        {"qj", {raAlign, Qt::AlignJustify}},
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
    for (std::string_view word : {"ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave",
                                  "ulldash", "ulth", "ulthd", "ulthdash", "ulthdashd", "ulthdashdd",
                                  "ulthldash", "ululdbwave", "ulw", "ulwave"})
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
  }();
  return words;
}

struct TRtfCharStyle {
  bool Bold = false;
  bool Italic = false;
  bool Underline = false;
  int HalfPoints = KDefaultHalfPoints;
  int Colour = 0;  // index into the colour table; 0 or an undefined entry: the text colour
  bool operator==(const TRtfCharStyle&) const = default;
};

struct TRtfGroup {
  TRtfDestination Destination = rdText;
  TRtfCharStyle Style;
  int Font = -1;
  int UnicodeSkip = 1;
  Qt::Alignment Alignment = Qt::AlignLeft;
};

class TRtfReader {
 public:
  TRtfReader(std::string_view rtf, QTextDocument& document)
      : FTokens(rtf), FCursor(&document), FGroups(1) {}

  void Read();

 private:
  TRtfGroup& Group() { return FGroups.back(); }
  bool InText() { return Group().Destination == rdText; }

  bool Take(const TRtfToken& token);
  void OpenGroup();
  bool CloseGroup();
  void DoWord(const TRtfToken& token);
  void DoSymbol(unsigned char symbol);
  void DoText(unsigned char c);
  void DoUnicode(int value);
  void DoColourComponent(int& component, const TRtfToken& token);
  void EndColour();

  int CodePage();
  void BeginContent();
  void AddByte(unsigned char byte);
  void AddChar(char32_t c);
  void AppendUnit(char16_t unit);
  void DropHighSurrogate();
  void FlushBytes();
  void FlushText();
  void BreakParagraph();
  void MaterialiseBreak();
  void Align(Qt::Alignment alignment);

  TRtfTokenizer FTokens;
  QTextCursor FCursor;
  TRtfCodePages FCodePages;
  std::vector<TRtfGroup> FGroups;  // the innermost group last; the first is outside every group
  std::size_t FFlattened = 0;      // groups past KMaxGroupDepth still open
  int FSkipChars = 0;              // fallback characters after \u still to pass over

  int FDocumentCodePage = 1252;
  int FDefaultFont = -1;
  int FFontDefined = -1;
  std::unordered_map<int, int> FFontCodePages;
  std::vector<QColor> FColours;
  int FRed = 0, FGreen = 0, FBlue = 0;
  bool FColourGiven = false;

  // Text waits here until its style changes or a paragraph ends; 8-bit bytes wait in FBytes
  // so that multi-byte code pages are decoded whole.
  std::string FBytes;
  int FBytesCodePage = 1252;
  QString FText;
  TRtfCharStyle FTextStyle;
  char16_t FHighSurrogate = 0;
  bool FBreakPending = false;  // a paragraph ended; the next content starts a new block
  bool FCellPending = false;   // a table cell ended; the next content in the row follows a tab
  Qt::Alignment FLastAlignment = Qt::AlignLeft;
};

void TRtfReader::Read() {
  FGroups.reserve(KMaxGroupDepth + 1);
  // One edit block: the document lays its text out once at the end, not after every run, which
  // would make a paragraph of many runs quadratic.
  FCursor.beginEditBlock();
  TRtfToken token = FTokens.Next();
  while (token.Kind != TRtfToken::rtkEnd && Take(token)) token = FTokens.Next();
  FlushText();
  if (!FBreakPending) Align(FLastAlignment);
  FCursor.endEditBlock();
}

// False once the group that holds the whole document has closed: what follows is not read.
bool TRtfReader::Take(const TRtfToken& token) {
  switch (token.Kind) {
    case TRtfToken::rtkGroupStart:
      FSkipChars = 0;
      OpenGroup();
      return true;
    case TRtfToken::rtkGroupEnd: FSkipChars = 0; return CloseGroup();
    default: break;
  }
  if (FSkipChars > 0) {
    --FSkipChars;
    return true;
  }
  switch (token.Kind) {
    case TRtfToken::rtkWord: DoWord(token); break;
    case TRtfToken::rtkSymbol: DoSymbol(token.Byte); break;
    case TRtfToken::rtkHexByte:
      if (InText()) AddByte(token.Byte);
      break;
    case TRtfToken::rtkText: DoText(token.Byte); break;
    default: break;
  }
  return true;
}

void TRtfReader::OpenGroup() {
  if (FGroups.size() > KMaxGroupDepth)
    ++FFlattened;
  else
    FGroups.push_back(Group());
}

bool TRtfReader::CloseGroup() {
  if (FFlattened > 0) {
    --FFlattened;
    return true;
  }
  if (FGroups.size() == 1) return true;
  FGroups.pop_back();
  return FGroups.size() > 1;
}

void TRtfReader::DoWord(const TRtfToken& token) {
  const TRtfDestination destination = Group().Destination;
  if (destination == rdSkip) return;
  const auto found = Words().find(token.Word);
  if (found == Words().end()) return;
  const TRtfWord& word = found->second;
  const bool on = !token.HasParameter || token.Parameter != 0;
  const int parameter = token.Parameter;
  TRtfGroup& group = Group();
  switch (word.Action) {
    case raSkipGroup: group.Destination = rdSkip; return;
    case raFontTable: group.Destination = rdFontTable; return;
    case raColourTable:
      group.Destination = rdColourTable;
      FColours.clear();
      FColourGiven = false;
      return;
    case raFont:
      if (destination == rdFontTable)
        FFontDefined = parameter;
      else
        group.Font = parameter;
      return;
    case raFontCharset:
    case raFontCodePage:
      if (destination == rdFontTable &&
          (FFontCodePages.size() < KMaxFonts || FFontCodePages.count(FFontDefined)))
        FFontCodePages[FFontDefined] =
            word.Action == raFontCharset ? CodePageOfCharset(parameter) : parameter;
      return;
    case raRed: DoColourComponent(FRed, token); return;
    case raGreen: DoColourComponent(FGreen, token); return;
    case raBlue: DoColourComponent(FBlue, token); return;
    case raCodePage: FDocumentCodePage = word.Value ? word.Value : parameter; return;
    case raDefaultFont:
      FDefaultFont = parameter;
      group.Font = parameter;
      return;
    case raUnicodeSkip: group.UnicodeSkip = std::max(0, parameter); return;
    default: break;
  }
  if (destination != rdText) return;
  switch (word.Action) {
    case raParagraph: BreakParagraph(); break;
    case raChar: AddChar(static_cast<char32_t>(word.Value)); break;
    case raCell:
      BeginContent();
      FCellPending = true;
      break;
    case raRow:
      FCellPending = false;
      BreakParagraph();
      break;
    case raParagraphDefaults: group.Alignment = Qt::AlignLeft; break;
    case raPlain:
      group.Style = TRtfCharStyle();
      group.Font = FDefaultFont;
      break;
    case raBold: group.Style.Bold = on; break;
    case raItalic: group.Style.Italic = on; break;
    case raUnderline: group.Style.Underline = on; break;
    case raUnderlineNone: group.Style.Underline = false; break;
    case raFontSize:
      group.Style.HalfPoints = token.HasParameter && parameter > 0
                                   ? std::min(parameter, KMaxHalfPoints)
                                   : KDefaultHalfPoints;
      break;
    case raColour: group.Style.Colour = std::max(0, parameter); break;
    case raAlign: group.Alignment = Qt::Alignment(word.Value); break;
    case raUnicode: DoUnicode(parameter); break;
    default: break;
  }
}

void TRtfReader::DoSymbol(unsigned char symbol) {
  if (symbol == '*') {
    Group().Destination = rdSkip;
    return;
  }
  if (!InText()) return;
  switch (symbol) {
    case '\\':
    case '{':
    case '}': AddChar(symbol); break;
    case '~': AddChar(0x00A0); break;
    case '-': AddChar(0x00AD); break;
    case '_': AddChar(0x2011); break;
    case '\r':
    case '\n': BreakParagraph(); break;
    default: break;
  }
}

void TRtfReader::DoText(unsigned char c) {
  switch (Group().Destination) {
    case rdText:
      if (c == '\t')
        AddChar(c);
      else if (c >= 0x20)
        AddByte(c);
      break;
    case rdColourTable:
      if (c == ';') EndColour();
      break;
    case rdFontTable:
    case rdSkip: break;
  }
}

// \uN writes UTF-16 units as signed 16-bit numbers; a few writers give whole code points.
void TRtfReader::DoUnicode(int value) {
  if (value < 0) value += 0x10000;
  AddChar(value >= 0 && value <= 0x10FFFF ? static_cast<char32_t>(value) : 0xFFFD);
  FSkipChars = Group().UnicodeSkip;
}

void TRtfReader::DoColourComponent(int& component, const TRtfToken& token) {
  if (Group().Destination != rdColourTable) return;
  component = std::clamp(token.Parameter, 0, 255);
  FColourGiven = true;
}

void TRtfReader::EndColour() {
  if (FColours.size() < KMaxColours)
    FColours.push_back(FColourGiven ? QColor(FRed, FGreen, FBlue) : QColor());
  FRed = FGreen = FBlue = 0;
  FColourGiven = false;
}

int TRtfReader::CodePage() {
  const auto font = FFontCodePages.find(Group().Font);
  return font != FFontCodePages.end() && font->second > 0 ? font->second : FDocumentCodePage;
}

// Everything that adds text comes through here first: it opens the paragraph that a break left
// pending, starts a new run when the style changed, and puts the tab between two cells.
void TRtfReader::BeginContent() {
  MaterialiseBreak();
  const TRtfCharStyle& style = Group().Style;
  if (!(style == FTextStyle)) {
    FlushText();
    FTextStyle = style;
  }
  FLastAlignment = Group().Alignment;
  if (FCellPending) {
    FCellPending = false;
    FlushBytes();
    AppendUnit(u'\t');
  }
}

void TRtfReader::AddByte(unsigned char byte) {
  BeginContent();
  const int codePage = CodePage();
  if (!FBytes.empty() && codePage != FBytesCodePage) FlushBytes();
  FBytesCodePage = codePage;
  FBytes.push_back(static_cast<char>(byte));
}

void TRtfReader::AddChar(char32_t c) {
  if (c == 0) return;
  BeginContent();
  FlushBytes();
  if (c > 0xFFFF) {
    AppendUnit(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
    AppendUnit(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
  } else {
    AppendUnit(static_cast<char16_t>(c));
  }
}

// Surrogates arrive one \u at a time: a high one waits for its low one, and a half pair is
// shown as the replacement character rather than kept broken.
void TRtfReader::AppendUnit(char16_t unit) {
  if (QChar::isHighSurrogate(unit)) {
    DropHighSurrogate();
    FHighSurrogate = unit;
  } else if (QChar::isLowSurrogate(unit)) {
    if (FHighSurrogate) {
      FText.append(QChar(FHighSurrogate)).append(QChar(unit));
      FHighSurrogate = 0;
    } else {
      FText.append(QChar::ReplacementCharacter);
    }
  } else {
    DropHighSurrogate();
    FText.append(QChar(unit));
  }
}

void TRtfReader::DropHighSurrogate() {
  if (!FHighSurrogate) return;
  FText.append(QChar::ReplacementCharacter);
  FHighSurrogate = 0;
}

void TRtfReader::FlushBytes() {
  if (FBytes.empty()) return;
  DropHighSurrogate();
  QString text = FCodePages.Decode(FBytesCodePage, FBytes);
  text.remove(QChar(0));
  FText.append(text);
  FBytes.clear();
}

void TRtfReader::FlushText() {
  FlushBytes();
  DropHighSurrogate();
  if (FText.isEmpty()) return;
  QTextCharFormat format;
  format.setFontWeight(FTextStyle.Bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(FTextStyle.Italic);
  format.setFontUnderline(FTextStyle.Underline);
  format.setFontPointSize(FTextStyle.HalfPoints / 2.0);
  const int colour = FTextStyle.Colour;
  if (colour < static_cast<int>(FColours.size()) && FColours[colour].isValid())
    format.setForeground(FColours[colour]);
  FCursor.insertText(FText, format);
  FText.clear();
}

// The break is only noted: a document's last \par makes no empty paragraph at its end.
void TRtfReader::BreakParagraph() {
  FlushText();
  MaterialiseBreak();
  Align(Group().Alignment);
  FBreakPending = true;
  FCellPending = false;
}

void TRtfReader::MaterialiseBreak() {
  if (!FBreakPending) return;
  FlushText();
  FCursor.insertBlock();
  FBreakPending = false;
}

void TRtfReader::Align(Qt::Alignment alignment) {
  QTextBlockFormat format;
  format.setAlignment(alignment);
  FCursor.mergeBlockFormat(format);
}

}  // namespace

void ReadRtf(std::string_view rtf, QTextDocument& document) {
  const bool undo = document.isUndoRedoEnabled();
  document.setUndoRedoEnabled(false);
  document.clear();
  TRtfReader(rtf, document).Read();
  document.setUndoRedoEnabled(undo);
}

}  // namespace vyn
