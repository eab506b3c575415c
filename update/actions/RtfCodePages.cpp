#include "update/actions/RtfCodePages.h"

#include <array>
#include <cerrno>

#include "platform/TextEncoding.h"

namespace vyn {

namespace {
// The Windows-1252 characters at 0x80 to 0x9F; the five bytes it leaves unassigned stay the C1
// controls of the same value, as Windows maps them.
constexpr std::array<char16_t, 32> K1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code pages are named by the document, so their number is bounded to keep the cache small.
constexpr std::size_t KMaxConverters = 32;

const iconv_t KNoConverter = reinterpret_cast<iconv_t>(-1);

void Append1252(std::string& out, std::string_view bytes) {
  for (const char b : bytes) {
    const auto c = static_cast<unsigned char>(b);
    if (c != 0) AppendUtf8(out, c >= 0x80 && c < 0xA0 ? K1252High[c - 0x80] : c);
  }
}

void AppendWithoutNul(std::string& out, const char* begin, const char* end) {
  for (const char* p = begin; p < end; ++p)
    if (*p != 0) out.push_back(*p);
}

// Writes out what the converter holds back (a code page with combining marks keeps its last
// character until it knows none follows) and returns it to its initial state.
void Flush(std::string& out, iconv_t converter) {
  std::array<char, 64> buffer;
  char* outPos = buffer.data();
  std::size_t outLeft = buffer.size();
  iconv(converter, nullptr, nullptr, &outPos, &outLeft);
  AppendWithoutNul(out, buffer.data(), outPos);
}

// UTF-8 from the converter, NULs dropped; an undefined or cut sequence is one U+FFFD and the
// reading goes on after its first byte.
void AppendConverted(std::string& out, iconv_t converter, std::string_view bytes) {
  char* in = const_cast<char*>(bytes.data());
  std::size_t inLeft = bytes.size();
  std::array<char, 1024> buffer;
  while (inLeft > 0) {
    char* outPos = buffer.data();
    std::size_t outLeft = buffer.size();
    const std::size_t result = iconv(converter, &in, &inLeft, &outPos, &outLeft);
    const int error = result == static_cast<std::size_t>(-1) ? errno : 0;
    AppendWithoutNul(out, buffer.data(), outPos);
    if (error == EILSEQ || error == EINVAL) {
      Flush(out, converter);
      AppendUtf8(out, 0xFFFD);
      ++in;
      --inLeft;
    } else if (error != E2BIG) {
      break;
    }
  }
  Flush(out, converter);
}
}  // namespace

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 77: return 10000;
    case 128: return 932;
    case 129: return 949;
    case 130: return 1361;
    case 134: return 936;
    case 136: return 950;
    case 161: return 1253;
    case 162: return 1254;
    case 163: return 1258;
    case 177: return 1255;
    case 178: return 1256;
    case 186: return 1257;
    case 204: return 1251;
    case 222: return 874;
    case 238: return 1250;
    case 254: return 437;
    case 255: return 850;
    default: return 0;
  }
}

TRtfCodePages::~TRtfCodePages() {
  for (const auto& [codePage, converter] : FConverters)
    if (converter != KNoConverter) iconv_close(converter);
}

void TRtfCodePages::AppendDecoded(std::string& out, int codePage, std::string_view bytes) {
  if (codePage != 1252)
    if (const iconv_t converter = ConverterFor(codePage); converter != KNoConverter)
      return AppendConverted(out, converter, bytes);
  Append1252(out, bytes);
}

iconv_t TRtfCodePages::ConverterFor(int codePage) {
  if (codePage <= 0) return KNoConverter;
  if (const auto found = FConverters.find(codePage); found != FConverters.end())
    return found->second;
  if (FConverters.size() >= KMaxConverters) return KNoConverter;
  const std::string name = codePage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codePage);
  return FConverters[codePage] = iconv_open("UTF-8", name.c_str());
}

}  // namespace vyn
