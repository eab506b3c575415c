#pragma once
// Which code page the 8-bit text of an RTF document is in: that of the current font when its
// font table entry names one (\fcharsetN, \cpgN), else the document's (\ansicpgN, \ansi, \mac,
// \pc, \pca; 1252 when it names none).

#include <unordered_map>

#include "update/actions/RtfControlWords.h"

namespace vyn {

class TRtfCodePageChoice {
 public:
  // Acts on the words that choose fonts and code pages and returns true for them; false for
  // any other word. `groupFont` is the font of the group being read.
  bool Take(const TRtfWord& word, int parameter, TRtfDestination destination, int& groupFont);

  int CodePage(int font) const;
  // The font that \plain returns to: the one \deffN names, -1 without it.
  int DefaultFont() const { return FDefaultFont; }

 private:
  int FDocumentCodePage = 1252;
  int FDefaultFont = -1;
  int FFontDefined = -1;  // the font table entry being read
  std::unordered_map<int, int> FFontCodePages;
};

}  // namespace vyn
