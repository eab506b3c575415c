#include "update/actions/RtfPlainText.h"

#include <algorithm>

#include "platform/TextEncoding.h"
#include "update/actions/RtfCodePageChoice.h"
#include "update/actions/RtfCodePages.h"
#include "update/actions/RtfControlWords.h"
#include "update/actions/RtfGroups.h"
#include "update/actions/RtfTokenizer.h"

namespace vyn {

namespace {

struct TPlainGroup {
  TRtfDestination Destination = rdText;
  int Font = -1;
  int UnicodeSkip = 1;
};

bool IsHighSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }
bool IsControl(char32_t c) {
  return (c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c < 0xA0);
}

class TPlainTextReader {
 public:
  explicit TPlainTextReader(std::string_view rtf) : FTokens(rtf) {}

  std::string Read();

  // What ReadRtfContent hands the tokens of content to.
  bool InText() { return Group().Destination == rdText; }
  void DoWord(const TRtfToken& token);
  void DoSymbol(unsigned char symbol);
  void DoText(unsigned char c);
  void AddByte(unsigned char byte);

 private:
  TPlainGroup& Group() { return FGroups.Current(); }

  void BeginContent();
  void AddChar(char32_t c);
  void AppendChar(char32_t c);
  void DropHighSurrogate();
  void FlushBytes();
  void BreakParagraph();
  void MaterialiseBreak();

  TRtfTokenizer FTokens;
  TRtfCodePages FCodePages;
  TRtfCodePageChoice FCodePageChoice;
  TRtfGroups<TPlainGroup> FGroups;

  std::string FText;
  // 8-bit bytes wait here so that multi-byte code pages are decoded whole.
  std::string FBytes;
  int FBytesCodePage = 1252;
  std::string FDecoded;  // FBytes decoded, before its control characters are dropped
  char32_t FHighSurrogate = 0;
  bool FBreakPending = false;  // a paragraph ended; the next content starts a new line
  bool FCellPending = false;   // a table cell ended; the next content in the row follows a tab
};

std::string TPlainTextReader::Read() {
  ReadRtfContent(FTokens, FGroups, *this);
  FlushBytes();
  DropHighSurrogate();
  return std::move(FText);
}

void TPlainTextReader::DoWord(const TRtfToken& token) {
  const TRtfDestination destination = Group().Destination;
  if (destination == rdSkip) return;
  const TRtfWord* word = FindRtfWord(token.Word);
  if (!word) return;
  TPlainGroup& group = Group();
  if (FCodePageChoice.Take(*word, token.Parameter, destination, group.Font)) return;
  switch (word->Action) {
    case raSkipGroup: group.Destination = rdSkip; return;
    case raFontTable: group.Destination = rdFontTable; return;
    case raColourTable: group.Destination = rdColourTable; return;
    case raUnicodeSkip: group.UnicodeSkip = std::max(0, token.Parameter); return;
    default: break;
  }
  if (destination != rdText) return;
  switch (word->Action) {
    case raParagraph: BreakParagraph(); break;
    case raChar:
      // The line separator that \line names is a line end in plain text.
      AddChar(word->Value == 0x2028 ? U'\n' : static_cast<char32_t>(word->Value));
      break;
    case raCell:
      BeginContent();
      FCellPending = true;
      break;
    case raRow:
      FCellPending = false;
      BreakParagraph();
      break;
    case raPlain: group.Font = FCodePageChoice.DefaultFont(); break;
    case raUnicode: {
      // \uN writes UTF-16 units as signed 16-bit numbers; a few writers give whole code points.
      const int value = token.Parameter < 0 ? token.Parameter + 0x10000 : token.Parameter;
      AddChar(value >= 0 && value <= 0x10FFFF ? static_cast<char32_t>(value) : 0xFFFD);
      FGroups.SkipFallback();
      break;
    }
    default: break;
  }
}

void TPlainTextReader::DoSymbol(unsigned char symbol) {
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

void TPlainTextReader::DoText(unsigned char c) {
  if (!InText()) return;
  if (c == '\t')
    AddChar(c);
  else if (c >= 0x20)
    AddByte(c);
}

// Opens the line that a break left pending and puts the tab between two cells.
void TPlainTextReader::BeginContent() {
  MaterialiseBreak();
  if (FCellPending) {
    FCellPending = false;
    AppendChar(U'\t');
  }
}

void TPlainTextReader::AddByte(unsigned char byte) {
  BeginContent();
  const int codePage = FCodePageChoice.CodePage(Group().Font);
  if (!FBytes.empty() && codePage != FBytesCodePage) FlushBytes();
  FBytesCodePage = codePage;
  FBytes.push_back(static_cast<char>(byte));
}

void TPlainTextReader::AddChar(char32_t c) {
  if (c == 0) return;
  BeginContent();
  AppendChar(c);
}

// Surrogates arrive one \u at a time: a high one waits for its low one, and a half pair is
// written as the replacement character rather than kept broken.
void TPlainTextReader::AppendChar(char32_t c) {
  FlushBytes();
  if (IsHighSurrogate(c)) {
    DropHighSurrogate();
    FHighSurrogate = c;
    return;
  }
  if (IsLowSurrogate(c)) {
    c = FHighSurrogate ? 0x10000 + ((FHighSurrogate - 0xD800) << 10) + (c - 0xDC00) : 0xFFFD;
    FHighSurrogate = 0;
  } else {
    DropHighSurrogate();
  }
  if (!IsControl(c)) AppendUtf8(FText, c);
}

void TPlainTextReader::DropHighSurrogate() {
  if (!FHighSurrogate) return;
  AppendUtf8(FText, 0xFFFD);
  FHighSurrogate = 0;
}

// The decoded text is valid UTF-8, where the C1 controls are the pairs C2 80 to C2 9F.
void TPlainTextReader::FlushBytes() {
  if (FBytes.empty()) return;
  DropHighSurrogate();
  FDecoded.clear();
  FCodePages.AppendDecoded(FDecoded, FBytesCodePage, FBytes);
  FBytes.clear();
  for (std::size_t i = 0; i < FDecoded.size(); ++i) {
    const auto c = static_cast<unsigned char>(FDecoded[i]);
    if (c == 0xC2 && i + 1 < FDecoded.size() &&
        IsControl(static_cast<unsigned char>(FDecoded[i + 1])))
      ++i;
    else if (c >= 0x80 || !IsControl(c))
      FText.push_back(static_cast<char>(c));
  }
}

// The break is only noted: a document's last \par makes no empty line at its end.
void TPlainTextReader::BreakParagraph() {
  MaterialiseBreak();
  FBreakPending = true;
  FCellPending = false;
}

void TPlainTextReader::MaterialiseBreak() {
  if (!FBreakPending) return;
  FlushBytes();
  DropHighSurrogate();
  FText.push_back('\n');
  FBreakPending = false;
}

}  // namespace

std::string RtfToPlainText(std::string_view rtf) { return TPlainTextReader(rtf).Read(); }

}  // namespace vyn
