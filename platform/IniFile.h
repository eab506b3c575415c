#pragma once
// INI files with profile-string semantics: sections and keys matched without case (ASCII
// letters), the first section of a name and the first key of a name in it win, whitespace
// around names and values trimmed, one pair of matching quotes around a value stripped, a
// default when absent. Writes keep every other section, key, comment and line of the file.
//
// Files may be UTF-8 (a BOM is skipped) or UTF-16LE with a BOM (read as UTF-8, written back as
// UTF-16LE), with CRLF or LF line ends. Nothing in a file makes reading fail: junk simply does
// not form sections or keys, and a missing or unreadable file reads as empty.

#include <cstddef>
#include <string>
#include <unordered_map>
#include <vector>

namespace vyn {

class TIniFile {
public:
  // Reads the whole file once; a missing or unreadable file reads as empty.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return FFileName; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // ReadString as a reader with a fixed buffer of `bufferSize` characters sees it: at most
  // bufferSize - 1 characters (code points) of the value or of the default.
  std::string ReadStringLimited(const std::string& section, const std::string& key,
                                const std::string& defaultValue, std::size_t bufferSize) const;
  // The whole trimmed value must be an integer: decimal with an optional sign in the signed
  // 32-bit range, or hexadecimal after "0x", "0X" or "$" (optionally signed). Unsigned
  // hexadecimal takes up to 32 bits as the bit pattern of the result ("0xFFFFFFFF" is -1); with
  // a sign the magnitude must fit the signed range. Anything else gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> ReadSections() const;                          // file order, unique
  std::vector<std::string> ReadSection(const std::string& section) const;  // key names

  // Each write re-reads the file, changes it and replaces it at once (temporary file in the
  // same folder + rename, keeping the file's mode; a new file gets 0666 less the umask).
  // Writers in one folder are serialised by a lock on the folder. Returns false when the file
  // could not be read or written, or when a name or value cannot be stored in an INI line
  // (line breaks or NUL anywhere, '=' in a key, ']' in a section, empty names).
  // Values that would not read back as written (surrounding whitespace or quotes) are written
  // in double quotes.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  // Remove every occurrence of the key in the section read, or every section of the name.
  // Nothing to remove is success and leaves the file untouched.
  bool DeleteKey(const std::string& section, const std::string& key);
  bool EraseSection(const std::string& section);

private:
  enum TEncoding { encUtf8, encUtf8Bom, encUtf16Le };
  struct TLine {
    std::string Text;    // the line as read, without its line end
    std::string Ending;  // "\r\n", "\n" or "" (last line without one)
    std::string Name;    // section name of a header, key of an entry
    std::string Value;   // value of an entry, quotes stripped
    bool IsHeader = false;
    bool IsEntry = false;
  };
  struct TSection {
    std::size_t Header = 0;  // line index of the first header of this name
    std::size_t End = 0;     // one past its last line
    std::unordered_map<std::string, std::size_t> Keys;  // lower-case key -> first entry line
    std::vector<std::size_t> KeyOrder;                  // first entry line of each key
  };

  bool Load();
  void Parse(const std::string& text);
  void Reindex();
  const TSection* FindSection(const std::string& section) const;
  const TLine* FindEntry(const std::string& section, const std::string& key) const;
  std::string NewLineEnding() const;
  template <typename TChange>
  bool Modify(TChange change);
  bool Save() const;

  std::string FFileName;
  TEncoding FEncoding = encUtf8;
  bool FLoaded = false;  // false when an existing file could not be read
  std::vector<TLine> FLines;
  std::unordered_map<std::string, TSection> FSections;  // by lower-case name
  std::vector<std::string> FSectionOrder;
};

}  // namespace vyn
