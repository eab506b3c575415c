#include "update/ui/RtfReader.h"

#include <QColor>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <string>
#include <vector>

#include "update/actions/RtfCodePageChoice.h"
#include "update/actions/RtfCodePages.h"
#include "update/actions/RtfControlWords.h"
#include "update/actions/RtfGroups.h"
#include "update/actions/RtfTokenizer.h"

namespace vyn {

namespace {

// The colour table is indexed by numbers the document chooses; entries past this are ignored.
constexpr std::size_t KMaxColours = 4096;
// RTF's default size, 12 points, and the largest that word processors offer, in half-points.
constexpr int KDefaultHalfPoints = 24;
constexpr int KMaxHalfPoints = 3276;

Qt::Alignment QtAlignment(int alignment) {
  switch (alignment) {
    case ralCentre: return Qt::AlignHCenter;
    case ralRight: return Qt::AlignRight;
    case ralJustify: return Qt::AlignJustify;
    default: return Qt::AlignLeft;
  }
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
  TRtfReader(std::string_view rtf, QTextDocument& document) : FTokens(rtf), FCursor(&document) {}

  void Read();

  // What ReadRtfContent hands the tokens of content to.
  bool InText() { return Group().Destination == rdText; }
  void DoWord(const TRtfToken& token);
  void DoSymbol(unsigned char symbol);
  void DoText(unsigned char c);
  void AddByte(unsigned char byte);

 private:
  TRtfGroup& Group() { return FGroups.Current(); }

  void DoUnicode(int value);
  void DoColourComponent(int& component, const TRtfToken& token);
  void EndColour();

  int CodePage();
  void BeginContent();
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
  TRtfCodePageChoice FCodePageChoice;
  TRtfGroups<TRtfGroup> FGroups;

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
  // One edit block: the document lays its text out once at the end, not after every run, which
  // would make a paragraph of many runs quadratic.
  FCursor.beginEditBlock();
  ReadRtfContent(FTokens, FGroups, *this);
  FlushText();
  if (!FBreakPending) Align(FLastAlignment);
  FCursor.endEditBlock();
}

void TRtfReader::DoWord(const TRtfToken& token) {
  const TRtfDestination destination = Group().Destination;
  if (destination == rdSkip) return;
  const TRtfWord* found = FindRtfWord(token.Word);
  if (!found) return;
  const TRtfWord& word = *found;
  const bool on = !token.HasParameter || token.Parameter != 0;
  const int parameter = token.Parameter;
  TRtfGroup& group = Group();
  if (FCodePageChoice.Take(word, parameter, destination, group.Font)) return;
  switch (word.Action) {
    case raSkipGroup: group.Destination = rdSkip; return;
    case raFontTable: group.Destination = rdFontTable; return;
    case raColourTable:
      group.Destination = rdColourTable;
      FColours.clear();
      FColourGiven = false;
      return;
    case raRed: DoColourComponent(FRed, token); return;
    case raGreen: DoColourComponent(FGreen, token); return;
    case raBlue: DoColourComponent(FBlue, token); return;
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
      group.Font = FCodePageChoice.DefaultFont();
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
    case raAlign: group.Alignment = QtAlignment(word.Value); break;
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
  if (symbol == '\r' || symbol == '\n')
    BreakParagraph();
  else
    AddChar(RtfSymbolChar(symbol));
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
  FGroups.SkipFallback();
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

int TRtfReader::CodePage() { return FCodePageChoice.CodePage(Group().Font); }

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
  std::string text;
  FCodePages.AppendDecoded(text, FBytesCodePage, FBytes);
  FText.append(QString::fromStdString(text));
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
