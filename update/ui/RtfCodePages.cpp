#include "update/ui/RtfCodePages.h"

#include <array>
#include <string>

namespace vyn {

namespace {
// The Windows-1252 characters at 0x80 to 0x9F; the five bytes it leaves unassigned stay the C1
// controls of the same value, as Windows maps them.
constexpr std::array<char16_t, 32> K1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code pages are named by the document, so their number is bounded to keep the cache small.
constexpr std::size_t KMaxDecoders = 32;

QString Decode1252(std::string_view bytes) {
  QString text;
  text.reserve(static_cast<qsizetype>(bytes.size()));
  for (const char b : bytes) {
    const auto c = static_cast<unsigned char>(b);
    text.append(c >= 0x80 && c < 0xA0 ? QChar(K1252High[c - 0x80]) : QChar(c));
  }
  return text;
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

QString TRtfCodePages::Decode(int codePage, std::string_view bytes) {
  if (codePage != 1252)
    if (QStringDecoder* decoder = DecoderFor(codePage))
      return decoder->decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
  return Decode1252(bytes);
}

QStringDecoder* TRtfCodePages::DecoderFor(int codePage) {
  if (codePage <= 0) return nullptr;
  if (const auto found = FDecoders.find(codePage); found != FDecoders.end())
    return found->second.get();
  if (FDecoders.size() >= KMaxDecoders) return nullptr;
  auto& decoder = FDecoders[codePage];
  for (const char* prefix : {"windows-", "cp"}) {
    const std::string name = prefix + std::to_string(codePage);
    auto candidate =
        std::make_unique<QStringDecoder>(name.c_str(), QStringDecoder::Flag::Stateless);
    if (candidate->isValid()) {
      decoder = std::move(candidate);
      break;
    }
  }
  return decoder.get();
}

}  // namespace vyn
