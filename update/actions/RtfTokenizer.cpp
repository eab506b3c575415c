#include "update/actions/RtfTokenizer.h"

#include <algorithm>
#include <climits>

namespace vyn {

namespace {
bool IsLetter(unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }
int HexValue(unsigned char c) {
  if (IsDigit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
}  // namespace

TRtfToken TRtfTokenizer::Next() {
  TRtfToken token;
  if (FPos >= FInput.size()) return token;
  const auto c = static_cast<unsigned char>(FInput[FPos++]);
  switch (c) {
    case '{': token.Kind = TRtfToken::rtkGroupStart; break;
    case '}': token.Kind = TRtfToken::rtkGroupEnd; break;
    case '\\': return ReadControl();
    default: token.Kind = TRtfToken::rtkText; token.Byte = c;
  }
  return token;
}

TRtfToken TRtfTokenizer::ReadControl() {
  TRtfToken token;
  if (FPos >= FInput.size()) return token;
  const auto c = static_cast<unsigned char>(FInput[FPos]);
  if (!IsLetter(c)) {
    ++FPos;
    if (c == '\'') {
      const int high = FPos < FInput.size() ? HexValue(FInput[FPos]) : -1;
      const int low = FPos + 1 < FInput.size() ? HexValue(FInput[FPos + 1]) : -1;
      // A broken escape comes back as the symbol "\'", which means nothing; what follows it is
      // read as usual.
      if (high >= 0 && low >= 0) {
        FPos += 2;
        token.Kind = TRtfToken::rtkHexByte;
        token.Byte = static_cast<unsigned char>(high * 16 + low);
        return token;
      }
    }
    token.Kind = TRtfToken::rtkSymbol;
    token.Byte = c;
    return token;
  }
  const std::size_t start = FPos;
  while (FPos < FInput.size() && IsLetter(FInput[FPos])) ++FPos;
  token.Kind = TRtfToken::rtkWord;
  token.Word = FInput.substr(start, std::min(FPos - start, KMaxWordLength));
  token.Parameter = ReadParameter(token.HasParameter);
  if (FPos < FInput.size() && FInput[FPos] == ' ') ++FPos;
  if (token.Word == "bin") {
    const std::size_t count = token.Parameter > 0 ? static_cast<std::size_t>(token.Parameter) : 0;
    FPos += std::min(count, FInput.size() - FPos);
    token.Kind = TRtfToken::rtkBinary;
  }
  return token;
}

int TRtfTokenizer::ReadParameter(bool& present) {
  std::size_t pos = FPos;
  const bool negative = pos < FInput.size() && FInput[pos] == '-';
  if (negative) ++pos;
  present = pos < FInput.size() && IsDigit(FInput[pos]);
  if (!present) return 0;
  long long value = 0;
  int digits = 0;
  // Digits past the tenth still belong to the word but no longer change its value.
  for (; pos < FInput.size() && IsDigit(FInput[pos]); ++pos)
    if (digits++ < KMaxParameterDigits) value = value * 10 + (FInput[pos] - '0');
  FPos = pos;
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

}  // namespace vyn
