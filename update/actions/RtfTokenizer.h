#pragma once
// Splits RTF bytes into braces, control words, control symbols, hex escapes and text bytes.
// One pass over the input, no allocation per token: a token's word points into the input.

#include <cstdint>
#include <string_view>

namespace vyn {

struct TRtfToken {
  enum TKind {
    rtkEnd,
    rtkGroupStart,
    rtkGroupEnd,
    rtkWord,
    rtkSymbol,
    rtkHexByte,
    rtkText,
    rtkBinary
  };
  TKind Kind = rtkEnd;
  std::string_view Word;  // rtkWord: the letters, at most KMaxWordLength of them
  bool HasParameter = false;
  int Parameter = 0;       // rtkWord: clamped to the int range
  unsigned char Byte = 0;  // rtkSymbol: the character after the backslash; rtkHexByte, rtkText
};

class TRtfTokenizer {
 public:
  static constexpr std::size_t KMaxWordLength = 32;
  static constexpr int KMaxParameterDigits = 10;

  explicit TRtfTokenizer(std::string_view input) : FInput(input) {}

  // The next token; rtkEnd once the input is used up (also for a lone trailing backslash).
  // "\bin N" comes back as one rtkBinary token with its N data bytes already passed over.
  TRtfToken Next();

 private:
  TRtfToken ReadControl();
  int ReadParameter(bool& present);

  std::string_view FInput;
  std::size_t FPos = 0;
};

}  // namespace vyn
