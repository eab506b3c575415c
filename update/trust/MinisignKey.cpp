#include "update/trust/MinisignKey.h"

#include "update/trust/MinisignLines.h"
#include "update/trust/Sodium.h"

#include <algorithm>

namespace vyn {

std::optional<TMinisignPublicKey> ParseMinisignPublicKey(std::string_view Text) {
  const std::vector<std::string_view> lines = MinisignLines(Text);
  std::size_t at = 0;
  if (at < lines.size() && lines[at].starts_with(kUntrustedCommentPrefix)) ++at;
  if (at >= lines.size() || at + 1 != lines.size()) return std::nullopt;
  const auto bytes = DecodeBase64(lines[at]);
  if (!bytes || bytes->size() != 42 || (*bytes)[0] != 'E' || (*bytes)[1] != 'd') return std::nullopt;
  TMinisignPublicKey key;
  std::copy_n(bytes->begin() + 2, key.KeyId.size(), key.KeyId.begin());
  std::copy_n(bytes->begin() + 10, key.Key.size(), key.Key.begin());
  return key;
}

}  // namespace vyn
