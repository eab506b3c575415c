#pragma once
// The groups of an RTF document being read, as every reader keeps them: braces open and close
// groups, each a copy of its parent's state, and the fallback characters after \uN are passed
// over. Past KMaxRtfGroupDepth, groups are read as part of the deepest one, so junk cannot grow
// the stack.

#include <cstddef>
#include <vector>

#include "update/actions/RtfControlWords.h"
#include "update/actions/RtfTokenizer.h"

namespace vyn {

enum TRtfStep {
  rsContent,  // the token is the reader's to act on
  rsPassed,   // a brace or a fallback character: nothing more to do
  rsEnd       // the group that holds the whole document has closed: what follows is not read
};

// TGroup has a member UnicodeSkip, the number of fallback characters after \uN.
template <class TGroup>
class TRtfGroups {
 public:
  TRtfGroups() : FGroups(1) { FGroups.reserve(KMaxRtfGroupDepth + 1); }

  TGroup& Current() { return FGroups.back(); }

  TRtfStep Step(const TRtfToken& token) {
    switch (token.Kind) {
      case TRtfToken::rtkGroupStart:
        FSkipChars = 0;
        Open();
        return rsPassed;
      case TRtfToken::rtkGroupEnd: FSkipChars = 0; return Close() ? rsPassed : rsEnd;
      default: break;
    }
    if (FSkipChars == 0) return rsContent;
    --FSkipChars;
    return rsPassed;
  }

  // After \uN: its fallback characters come next.
  void SkipFallback() { FSkipChars = Current().UnicodeSkip; }

 private:
  void Open() {
    if (FGroups.size() > KMaxRtfGroupDepth)
      ++FFlattened;
    else
      FGroups.push_back(Current());
  }

  bool Close() {
    if (FFlattened > 0) {
      --FFlattened;
      return true;
    }
    if (FGroups.size() == 1) return true;
    FGroups.pop_back();
    return FGroups.size() > 1;
  }

  std::vector<TGroup> FGroups;  // the innermost group last; the first is outside every group
  std::size_t FFlattened = 0;   // groups past KMaxRtfGroupDepth still open
  int FSkipChars = 0;           // fallback characters still to pass over
};

// Reads the document to its end, or to the close of the group that holds it, and hands every
// token of content to the reader: DoWord(token), DoSymbol(byte), DoText(byte), and
// AddByte(byte) for a hex byte inside text (InText()).
template <class TReader, class TGroup>
void ReadRtfContent(TRtfTokenizer& tokens, TRtfGroups<TGroup>& groups, TReader& reader) {
  for (TRtfToken token = tokens.Next(); token.Kind != TRtfToken::rtkEnd; token = tokens.Next()) {
    const TRtfStep step = groups.Step(token);
    if (step == rsEnd) return;
    if (step == rsPassed) continue;
    switch (token.Kind) {
      case TRtfToken::rtkWord: reader.DoWord(token); break;
      case TRtfToken::rtkSymbol: reader.DoSymbol(token.Byte); break;
      case TRtfToken::rtkHexByte:
        if (reader.InText()) reader.AddByte(token.Byte);
        break;
      case TRtfToken::rtkText: reader.DoText(token.Byte); break;
      default: break;
    }
  }
}

}  // namespace vyn
