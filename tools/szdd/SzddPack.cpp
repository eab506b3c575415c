#include "tools/szdd/SzddPack.h"

#include <stdexcept>

#include "tools/szdd/LzssMatchFinder.h"
#include "tools/szdd/LzssOptimalParse.h"

namespace vyn {

namespace {

using szdd::kWindowSize;
using szdd::TLzssMatchFinder;
using szdd::TMatch;

// The write position of the decoder's window when the first data byte arrives.
constexpr std::uint64_t kFirstWritePosition = 4080;

std::string Header(std::size_t size, char lastCharacter) {
  std::string header("SZDD\x88\xF0\x27\x33" "A", 9);
  header += lastCharacter;
  for (int shift = 0; shift < 32; shift += 8) header += static_cast<char>((size >> shift) & 0xFF);
  return header;
}

// Groups items eight to a control byte and passes the output on in large pieces.
class TItemWriter {
public:
  explicit TItemWriter(const std::function<void(std::string_view)>& write) : FWrite(write) {}

  void Raw(std::string_view bytes) {
    FBuffer += bytes;
    FlushIfFull();
  }
  void Literal(unsigned char byte) {
    Begin();
    FBuffer[FControl] = static_cast<char>(FBuffer[FControl] | (1 << FItems));
    FBuffer += static_cast<char>(byte);
    End();
  }
  // `window` is the decoder's window index of the copy's first byte.
  void Reference(std::size_t window, std::size_t length) {
    Begin();
    FBuffer += static_cast<char>(window & 0xFF);
    FBuffer += static_cast<char>(((window >> 4) & 0xF0) | (length - szdd::kMinMatch));
    End();
  }
  // A partial last group ends right after its last item: decoders stop at the end of input.
  void Finish() {
    if (!FBuffer.empty()) FWrite(FBuffer);
    FBuffer.clear();
  }

private:
  static constexpr std::size_t kPiece = 1 << 16;

  void Begin() {
    if (FItems == 0) {
      FControl = FBuffer.size();
      FBuffer += '\0';
    }
  }
  void End() {
    if (++FItems == 8) {
      FItems = 0;
      FlushIfFull();
    }
  }
  void FlushIfFull() {
    if (FItems == 0 && FBuffer.size() >= kPiece) Finish();
  }

  const std::function<void(std::string_view)>& FWrite;
  std::string FBuffer;
  std::size_t FControl = 0;
  unsigned FItems = 0;
};

}  // namespace

void PackSzdd(std::string_view data, char lastCharacter, const std::function<void(std::string_view)>& write) {
  if (data.size() > kSzddMaxSize)
    throw std::length_error("SZDD holds at most " + std::to_string(kSzddMaxSize) + " bytes; the input has " +
                            std::to_string(data.size()));
  TItemWriter out(write);
  out.Raw(Header(data.size(), lastCharacter));

  TLzssMatchFinder finder(data);
  for (std::uint64_t position = 0; position < TLzssMatchFinder::Start(); ++position) finder.Insert(position);
  szdd::TLzssOptimalParser parser(finder);
  parser.Parse([&](std::uint64_t position, const TMatch& item) {
    if (item.Length == 0) {
      out.Literal(static_cast<unsigned char>(data[position - TLzssMatchFinder::Start()]));
    } else {
      // Stream position p sits at window index (p - 4096 + 4080) mod 4096.
      out.Reference(static_cast<std::size_t>((item.Source + kFirstWritePosition) % kWindowSize), item.Length);
    }
  });
  out.Finish();
}

std::string PackSzdd(std::string_view data, char lastCharacter) {
  std::string packed;
  PackSzdd(data, lastCharacter, [&](std::string_view piece) { packed += piece; });
  return packed;
}

}  // namespace vyn
