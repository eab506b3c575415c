#pragma once
// The 8-bit text of RTF: hex escapes and raw bytes in the code page of the document
// (\ansicpgN) or of the current font (\fcharsetN, \cpgN in the font table).

#include <QString>
#include <QStringDecoder>
#include <map>
#include <memory>
#include <string_view>

namespace vyn {

// The Windows code page of a font character set; 0 when the charset names none (ANSI, default,
// symbol, unknown): such fonts use the document's.
int CodePageOfCharset(int charset);

// Decodes bytes of Windows code pages: 1252 from its table, others through Qt's converters
// when they know them; an unknown code page is read as 1252.
class TRtfCodePages {
 public:
  QString Decode(int codePage, std::string_view bytes);

 private:
  QStringDecoder* DecoderFor(int codePage);

  // A null entry marks a code page Qt does not know.
  std::map<int, std::unique_ptr<QStringDecoder>> FDecoders;
};

}  // namespace vyn
