#include "update/trust/MinisignSignature.h"

#include "update/trust/MinisignLines.h"
#include "update/trust/Sodium.h"

#include <algorithm>
#include <charconv>

namespace vyn {

std::optional<TMinisignSignature> ParseMinisignSignature(std::string_view Text) {
  if (Text.size() > 4096) return std::nullopt;
  const std::vector<std::string_view> lines = MinisignLines(Text);
  if (lines.size() != 4 || !lines[0].starts_with(kUntrustedCommentPrefix) ||
      !lines[2].starts_with(kTrustedCommentPrefix))
    return std::nullopt;
  const auto signature = DecodeBase64(lines[1]);
  if (!signature || signature->size() != 74 || (*signature)[0] != 'E') return std::nullopt;
  TMinisignSignature result;
  if ((*signature)[1] == 'D')
    result.Prehashed = true;
  else if ((*signature)[1] == 'd')
    result.Prehashed = false;
  else
    return std::nullopt;
  std::copy_n(signature->begin() + 2, result.KeyId.size(), result.KeyId.begin());
  std::copy_n(signature->begin() + 10, result.Signature.size(), result.Signature.begin());
  result.TrustedComment = std::string(lines[2].substr(kTrustedCommentPrefix.size()));
  const auto global = DecodeBase64(lines[3]);
  if (!global || global->size() != result.GlobalSignature.size()) return std::nullopt;
  std::copy(global->begin(), global->end(), result.GlobalSignature.begin());
  return result;
}

std::optional<long long> TrustedTimestamp(const TMinisignSignature& Signature) {
  constexpr std::string_view prefix = "timestamp:";
  const std::string& comment = Signature.TrustedComment;
  const std::size_t at = comment.find(prefix);
  if (at == std::string::npos || (at != 0 && comment[at - 1] != '\t' && comment[at - 1] != ' '))
    return std::nullopt;
  const char* first = comment.data() + at + prefix.size();
  const char* last = comment.data() + comment.size();
  long long value = 0;
  const auto [end, error] = std::from_chars(first, last, value);
  if (error != std::errc() || end == first || value < 0 || (end != last && *end != '\t' && *end != ' '))
    return std::nullopt;
  return value;
}

}  // namespace vyn
