#pragma once
// The 8-bit text of RTF: hex escapes and raw bytes in the code page of the document
// (\ansicpgN) or of the current font (\fcharsetN, \cpgN in the font table).

#include <iconv.h>

#include <map>
#include <string>
#include <string_view>

namespace vyn {

// The Windows code page of a font character set; 0 when the charset names none (ANSI, default,
// symbol, unknown): such fonts use the document's.
int CodePageOfCharset(int charset);

// Decodes bytes of Windows code pages to UTF-8: 1252 from its table, others through the C
// library's converters when it knows them; an unknown code page is read as 1252. NUL bytes are
// not text and are dropped; a byte sequence the code page does not define becomes U+FFFD.
class TRtfCodePages {
 public:
  TRtfCodePages() = default;
  TRtfCodePages(const TRtfCodePages&) = delete;
  TRtfCodePages& operator=(const TRtfCodePages&) = delete;
  ~TRtfCodePages();

  void AppendDecoded(std::string& out, int codePage, std::string_view bytes);

 private:
  iconv_t ConverterFor(int codePage);

  // An invalid handle marks a code page the C library does not know.
  std::map<int, iconv_t> FConverters;
};

}  // namespace vyn
