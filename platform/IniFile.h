#pragma once
// INI files with profile-string semantics: sections and keys matched without case, a default
// when absent, integers read with their default on garbage, and writes that keep every other
// section, key and comment of the file.

#include <string>
#include <vector>

namespace vyn {

class TIniFile {
public:
  // Reads the whole file once; a missing or unreadable file reads as empty.
  explicit TIniFile(std::string fileName);

  const std::string& FileName() const { return FFileName; }

  std::string ReadString(const std::string& section, const std::string& key,
                         const std::string& defaultValue) const;
  // Decimal (optionally signed) or 0x hexadecimal; anything else, or out of 32-bit range,
  // gives the default.
  int ReadInteger(const std::string& section, const std::string& key, int defaultValue) const;
  bool SectionExists(const std::string& section) const;
  bool ValueExists(const std::string& section, const std::string& key) const;
  std::vector<std::string> ReadSections() const;
  std::vector<std::string> ReadSection(const std::string& section) const;  // key names

  // Each write updates the file at once (temporary file + rename) and returns false when the
  // file could not be written.
  bool WriteString(const std::string& section, const std::string& key, const std::string& value);
  bool WriteInteger(const std::string& section, const std::string& key, int value);
  bool DeleteKey(const std::string& section, const std::string& key);
  bool EraseSection(const std::string& section);

private:
  struct TLine {
    std::string Text;     // the line as read (for comments and blank lines kept verbatim)
    std::string Section;  // the section this line belongs to ("" before the first header)
    std::string Key;      // set for key=value lines
    std::string Value;
    bool IsHeader = false;
  };
  bool Save() const;
  std::string FFileName;
  std::vector<TLine> FLines;
};

}  // namespace vyn
