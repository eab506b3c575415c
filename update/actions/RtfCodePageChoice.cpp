#include "update/actions/RtfCodePageChoice.h"

#include "update/actions/RtfCodePages.h"

namespace vyn {

namespace {
// Font numbers are the document's choice; entries past this many are ignored.
constexpr std::size_t KMaxFonts = 4096;
}  // namespace

bool TRtfCodePageChoice::Take(const TRtfWord& word, int parameter, TRtfDestination destination,
                              int& groupFont) {
  switch (word.Action) {
    case raFont:
      if (destination == rdFontTable)
        FFontDefined = parameter;
      else
        groupFont = parameter;
      return true;
    case raFontCharset:
    case raFontCodePage:
      if (destination == rdFontTable &&
          (FFontCodePages.size() < KMaxFonts || FFontCodePages.count(FFontDefined)))
        FFontCodePages[FFontDefined] =
            word.Action == raFontCharset ? CodePageOfCharset(parameter) : parameter;
      return true;
    case raCodePage: FDocumentCodePage = word.Value ? word.Value : parameter; return true;
    case raDefaultFont:
      FDefaultFont = parameter;
      groupFont = parameter;
      return true;
    default: return false;
  }
}

int TRtfCodePageChoice::CodePage(int font) const {
  const auto found = FFontCodePages.find(font);
  return found != FFontCodePages.end() && found->second > 0 ? found->second : FDocumentCodePage;
}

}  // namespace vyn
