// Reading and writing the registry-export text that hive files are kept in.

#include <cstdio>
#include <string_view>

#include "platform/Registry.h"
#include "platform/RegistryHive.h"
#include "platform/RegistryText.h"
#include "platform/TextEncoding.h"

namespace vyn {

using namespace registry;

namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

std::string_view Trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// `prefix` is lower-case ASCII.
bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  if (s.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i)
    if ((s[i] >= 'A' && s[i] <= 'Z' ? s[i] + 0x20 : s[i]) != prefix[i]) return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Up to `maxDigits` hex digits as a number; false when there are none or too many.
bool ParseHexNumber(std::string_view digits, size_t maxDigits, uint32_t& value) {
  if (digits.empty() || digits.size() > maxDigits) return false;
  value = 0;
  for (char c : digits) {
    const int d = HexDigit(c);
    if (d < 0) return false;
    value = (value << 4) | static_cast<uint32_t>(d);
  }
  return true;
}

struct TParseError {
  std::string Reason;
};

class TExportParser {
public:
  TExportParser(const std::string& bytes, THiveRoot root) : FRoot(root) { FText = DecodeText(bytes); }

  size_t LineNumber() const { return FLine + 1; }

  THive Parse() {
    SplitLines();
    THive hive;
    bool headerSeen = false;
    bool inKey = false;
    std::string keyPath;
    for (FLine = 0; FLine < FLines.size(); ++FLine) {
      const std::string_view line = Trim(FLines[FLine]);
      if (!headerSeen) {
        if (line.empty()) continue;
        if (line == kHeader4) {
          FVersion4 = true;
        } else if (line != kHeader5) {
          throw TParseError{"en-tête « " + std::string(kHeader5) + " » absent"};
        }
        headerSeen = true;
        if (FVersion4 && !IsValidUtf8(FText)) {
          FText = Latin1ToUtf8(FText);
          SplitLines();
        }
        continue;
      }
      if (line.empty() || line[0] == ';') continue;
      if (!FVersion4 && !IsValidUtf8(line)) throw TParseError{"texte UTF-8 invalide"};
      if (line[0] == '[') {
        keyPath = ParseSection(line);
        hive.AddKey(keyPath);
        inKey = true;
      } else if (line[0] == '"' || line[0] == '@') {
        if (!inKey) throw TParseError{"valeur en dehors d'une clé"};
        hive.SetValue(keyPath, ParseValue(line));
      } else {
        throw TParseError{"ligne incompréhensible"};
      }
    }
    return hive;
  }

private:
  static std::string DecodeText(const std::string& bytes) {
    if (bytes.size() >= 2 && static_cast<uint8_t>(bytes[0]) == 0xFF && static_cast<uint8_t>(bytes[1]) == 0xFE)
      return Utf16LeToUtf8(std::string_view(bytes).substr(2));
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) return bytes.substr(3);
    return bytes;
  }

  void SplitLines() {
    FLines.clear();
    std::string_view text(FText);
    while (!text.empty()) {
      const size_t end = text.find('\n');
      std::string_view line = text.substr(0, end);
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      FLines.push_back(line);
      if (end == std::string_view::npos) break;
      text.remove_prefix(end + 1);
    }
  }

  std::string ParseSection(std::string_view line) {
    if (line.back() != ']') throw TParseError{"crochet fermant absent"};
    const std::string_view name = line.substr(1, line.size() - 2);
    if (!name.empty() && name[0] == '-') throw TParseError{"la suppression de clés n'est pas prise en charge"};
    const size_t sep = name.find('\\');
    if (FoldName(name.substr(0, sep)) != FoldName(HiveRootName(FRoot)))
      throw TParseError{"clé hors de la ruche " + std::string(HiveRootName(FRoot))};
    if (sep == std::string_view::npos) return {};
    const std::string path(name.substr(sep + 1));
    if (path.empty() || path.front() == '\\' || path.back() == '\\' || path.find("\\\\") != std::string::npos)
      throw TParseError{"nom de clé vide"};
    return path;
  }

  // A quoted text starting at `pos`; "\\" and "\"" are escapes, any other backslash is kept.
  static std::string ParseQuoted(std::string_view line, size_t& pos) {
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
      const char c = line[pos];
      if (c == '"') {
        ++pos;
        return out;
      }
      if (c == '\\' && pos + 1 < line.size() && (line[pos + 1] == '\\' || line[pos + 1] == '"')) ++pos;
      out += line[pos];
    }
    throw TParseError{"guillemet fermant absent"};
  }

  TRegValue ParseValue(std::string_view line) {
    TRegValue value;
    size_t pos = 0;
    if (line[0] == '@')
      pos = 1;
    else
      value.Name = ParseQuoted(line, pos);
    std::string_view rest = Trim(line.substr(pos));
    if (rest.empty() || rest[0] != '=') throw TParseError{"« = » absent après le nom de la valeur"};
    rest = Trim(rest.substr(1));
    if (rest == "-") throw TParseError{"la suppression de valeurs n'est pas prise en charge"};
    if (!rest.empty() && rest[0] == '"') {
      size_t end = 0;
      const std::string text = ParseQuoted(rest, end);
      if (!Trim(rest.substr(end)).empty()) throw TParseError{"texte en trop après la chaîne"};
      value.Type = REG_SZ;
      value.Data.assign(text.begin(), text.end());
      value.Data.push_back(0);
    } else if (StartsWithNoCase(rest, "dword:")) {
      uint32_t number;
      if (!ParseHexNumber(rest.substr(6), 8, number)) throw TParseError{"valeur dword invalide"};
      value.Type = REG_DWORD;
      for (int i = 0; i < 4; ++i) value.Data.push_back(static_cast<uint8_t>(number >> (8 * i)));
    } else if (StartsWithNoCase(rest, "hex")) {
      rest.remove_prefix(3);
      value.Type = REG_BINARY;
      if (!rest.empty() && rest[0] == '(') {
        const size_t close = rest.find(')');
        if (close == std::string_view::npos || !ParseHexNumber(rest.substr(1, close - 1), 8, value.Type))
          throw TParseError{"type hex(N) invalide"};
        rest.remove_prefix(close + 1);
      }
      if (rest.empty() || rest[0] != ':') throw TParseError{"« : » absent après hex"};
      value.Data = ParseHexBytes(rest.substr(1));
      DecodeStringData(value);
    } else {
      throw TParseError{"type de valeur inconnu"};
    }
    return value;
  }

  // Comma-separated bytes, continued on the next lines while a line ends with a backslash.
  std::vector<uint8_t> ParseHexBytes(std::string_view first) {
    std::vector<uint8_t> bytes;
    std::string_view part = Trim(first);
    for (;;) {
      const bool continued = !part.empty() && part.back() == '\\';
      if (continued) part = Trim(part.substr(0, part.size() - 1));
      while (!part.empty()) {
        const size_t comma = part.find(',');
        const std::string_view token = Trim(part.substr(0, comma));
        uint32_t byte;
        if (!ParseHexNumber(token, 2, byte)) {
          if (!(token.empty() && comma == std::string_view::npos)) throw TParseError{"octet hexadécimal invalide"};
        } else {
          bytes.push_back(static_cast<uint8_t>(byte));
        }
        if (comma == std::string_view::npos) break;
        part.remove_prefix(comma + 1);
      }
      if (!continued) return bytes;
      if (++FLine >= FLines.size()) throw TParseError{"valeur tronquée en fin de fichier"};
      part = Trim(FLines[FLine]);
    }
  }

  // String types carry UTF-16LE in version 5 files and 8-bit text in REGEDIT4 files.
  void DecodeStringData(TRegValue& value) const {
    if (value.Type != REG_SZ && value.Type != REG_EXPAND_SZ && value.Type != REG_MULTI_SZ) return;
    const std::string_view raw(reinterpret_cast<const char*>(value.Data.data()), value.Data.size());
    std::string text = FVersion4 ? (IsValidUtf8(raw) ? std::string(raw) : Latin1ToUtf8(raw)) : Utf16LeToUtf8(raw);
    if (value.Type != REG_MULTI_SZ && (text.empty() || text.back() != '\0')) text += '\0';
    value.Data.assign(text.begin(), text.end());
  }

  THiveRoot FRoot;
  std::string FText;
  std::vector<std::string_view> FLines;
  size_t FLine = 0;
  bool FVersion4 = false;
};

std::string Quote(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') out += '\\';
    out += c;
  }
  return out + '"';
}

// A string value is written quoted when it is one line of text with one terminating zero.
bool FitsQuoted(const std::vector<uint8_t>& data) {
  if (data.empty() || data.back() != 0) return false;
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] < 0x20 || data[i] == 0x7F) return false;
  return true;
}

void AppendHexList(std::string& out, std::string_view bytes) {
  static const char kDigits[] = "0123456789abcdef";
  size_t column = out.size() - out.rfind('\n') - 1;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const auto b = static_cast<uint8_t>(bytes[i]);
    out += kDigits[b >> 4];
    out += kDigits[b & 0xF];
    column += 2;
    if (i + 1 == bytes.size()) break;
    out += ',';
    ++column;
    if (column > 76) {
      out += "\\\n  ";
      column = 2;
    }
  }
}

void AppendValue(std::string& out, const TRegValue& value) {
  out += value.Name.empty() ? "@" : Quote(value.Name);
  out += '=';
  const std::string_view data(reinterpret_cast<const char*>(value.Data.data()), value.Data.size());
  if (value.Type == REG_SZ && FitsQuoted(value.Data)) {
    out += Quote(data.substr(0, data.size() - 1));
  } else if (value.Type == REG_DWORD && value.Data.size() == 4) {
    char number[16];
    std::snprintf(number, sizeof number, "dword:%08x",
                  static_cast<unsigned>(value.Data[0] | value.Data[1] << 8 | value.Data[2] << 16 |
                                        static_cast<uint32_t>(value.Data[3]) << 24));
    out += number;
  } else if (value.Type == REG_BINARY) {
    out += "hex:";
    AppendHexList(out, data);
  } else {
    char prefix[24];
    std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(value.Type));
    out += prefix;
    const bool text = value.Type == REG_SZ || value.Type == REG_EXPAND_SZ || value.Type == REG_MULTI_SZ;
    AppendHexList(out, text ? Utf8ToUtf16Le(data) : std::string(data));
  }
  out += '\n';
}

}  // namespace

const char* HiveRootName(THiveRoot root) {
  return root == THiveRoot::HKEY_LOCAL_MACHINE ? "HKEY_LOCAL_MACHINE" : "HKEY_CURRENT_USER";
}

THive ParseHive(const std::string& bytes, const std::string& sourceName, THiveRoot root) {
  TExportParser parser(bytes, root);
  try {
    return parser.Parse();
  } catch (const TParseError& error) {
    throw ERegistryException("Fichier de registre illisible '" + sourceName + "' (ligne " +
                             std::to_string(parser.LineNumber()) + " : " + error.Reason + ")");
  }
}

std::vector<TRegKey> ParseRegistryExport(const std::string& bytes, const std::string& sourceName,
                                         THiveRoot root) {
  return ParseHive(bytes, sourceName, root).Keys();
}

std::string FormatRegistryExport(const std::vector<TRegKey>& keys, THiveRoot root) {
  std::string out(kHeader5);
  out += "\n\n";
  for (const TRegKey& key : keys) {
    out += '[';
    out += HiveRootName(root);
    if (!key.Path.empty()) out += '\\' + key.Path;
    out += "]\n";
    for (const TRegValue& value : key.Values) AppendValue(out, value);
    out += '\n';
  }
  return out;
}

}  // namespace vyn
