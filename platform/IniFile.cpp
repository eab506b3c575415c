#include "platform/IniFile.h"

#include "platform/FileCreationMode.h"
#include "platform/TextEncoding.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <utility>

namespace vyn {

namespace {

const char* const kBlanks = " \t\r\v\f";

std::string Trim(const std::string& text) {
  const std::size_t first = text.find_first_not_of(kBlanks);
  if (first == std::string::npos) return "";
  const std::size_t last = text.find_last_not_of(kBlanks);
  return text.substr(first, last - first + 1);
}

std::string Lower(std::string text) {
  for (char& c : text)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return text;
}

bool IsQuoted(const std::string& value) {
  return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
         value.back() == value.front();
}

bool ParseInteger(const std::string& text, int& result) {
  std::size_t i = 0;
  bool negative = false;
  const bool signedText = !text.empty() && (text[0] == '+' || text[0] == '-');
  if (signedText) {
    negative = text[0] == '-';
    ++i;
  }
  int base = 10;
  if (text.compare(i, 2, "0x") == 0 || text.compare(i, 2, "0X") == 0) {
    base = 16;
    i += 2;
  } else if (text.compare(i, 1, "$") == 0) {
    base = 16;
    i += 1;
  }
  if (i >= text.size()) return false;
  uint64_t magnitude = 0;
  for (; i < text.size(); ++i) {
    const char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else return false;
    magnitude = magnitude * base + digit;
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (base == 16 && !signedText) {
    result = static_cast<int>(static_cast<uint32_t>(magnitude));
    return true;
  }
  if (negative) {
    if (magnitude > static_cast<uint64_t>(INT_MAX) + 1) return false;
    result = static_cast<int>(-static_cast<int64_t>(magnitude));
  } else {
    if (magnitude > static_cast<uint64_t>(INT_MAX)) return false;
    result = static_cast<int>(magnitude);
  }
  return true;
}

bool HasLineBreakOrNul(const std::string& text) {
  return text.find_first_of(std::string("\r\n\0", 3)) != std::string::npos;
}

// A value that would lose its surrounding whitespace or quotes on reading gets quoted.
std::string StoredValue(const std::string& value) {
  if (value.empty()) return value;
  const bool blankEdge = std::string(kBlanks).find(value.front()) != std::string::npos ||
                         std::string(kBlanks).find(value.back()) != std::string::npos;
  return blankEdge || IsQuoted(value) ? '"' + value + '"' : value;
}

// The file a write replaces: a symbolic link is followed so that the link itself survives.
std::string WriteTarget(const std::string& fileName) {
  char* real = realpath(fileName.c_str(), nullptr);
  if (!real) return fileName;
  std::string result(real);
  free(real);
  return result;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Serialises writers of files in one folder, across threads and processes.
class TFolderLock {
public:
  explicit TFolderLock(const std::string& folder)
      : FHandle(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
    if (FHandle >= 0)
      while (flock(FHandle, LOCK_EX) != 0 && errno == EINTR) {
      }
  }
  ~TFolderLock() {
    if (FHandle >= 0) close(FHandle);
  }
  TFolderLock(const TFolderLock&) = delete;
  TFolderLock& operator=(const TFolderLock&) = delete;

private:
  int FHandle;
};

bool WriteAll(int handle, const std::string& data) {
  std::size_t done = 0;
  while (done < data.size()) {
    const ssize_t written = write(handle, data.data() + done, data.size() - done);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

TIniFile::TIniFile(std::string fileName) : FFileName(std::move(fileName)) { Load(); }

bool TIniFile::Load() {
  FLines.clear();
  FEncoding = encUtf8;
  FLoaded = false;
  std::string bytes;
  const int handle = open(FFileName.c_str(), O_RDONLY | O_CLOEXEC);
  if (handle < 0) {
    FLoaded = errno == ENOENT;
  } else {
    char buffer[65536];
    ssize_t got;
    while ((got = read(handle, buffer, sizeof buffer)) != 0) {
      if (got < 0) {
        if (errno == EINTR) continue;
        break;
      }
      bytes.append(buffer, static_cast<std::size_t>(got));
    }
    FLoaded = got == 0;
    close(handle);
  }
  if (!FLoaded) bytes.clear();
  if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    FEncoding = encUtf8Bom;
    bytes.erase(0, 3);
  } else if (bytes.compare(0, 2, "\xFF\xFE") == 0) {
    FEncoding = encUtf16Le;
    bytes = Utf16LeToUtf8(std::string_view(bytes).substr(2));
  }
  Parse(bytes);
  Reindex();
  return FLoaded;
}

void TIniFile::Parse(const std::string& text) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    TLine line;
    if (end == std::string::npos) {
      line.Text = text.substr(start);
      start = text.size();
    } else {
      line.Text = text.substr(start, end - start);
      line.Ending = "\n";
      start = end + 1;
    }
    // A carriage return ends a line only before a line feed: taken for a line end on its own,
    // it would become the line end of new lines, which no reader splits at.
    if (!line.Ending.empty() && !line.Text.empty() && line.Text.back() == '\r') {
      line.Text.pop_back();
      line.Ending = "\r\n";
    }
    const std::size_t first = line.Text.find_first_not_of(kBlanks);
    if (first != std::string::npos && line.Text[first] == '[') {
      const std::size_t close = line.Text.find(']', first);
      line.IsHeader = true;
      line.Name = Trim(line.Text.substr(first + 1, close == std::string::npos
                                                       ? std::string::npos
                                                       : close - first - 1));
    } else if (first != std::string::npos && line.Text[first] != ';') {
      const std::size_t equals = line.Text.find('=', first);
      if (equals != std::string::npos) {
        line.Name = Trim(line.Text.substr(first, equals - first));
        line.IsEntry = !line.Name.empty();
        if (line.IsEntry) {
          line.Value = Trim(line.Text.substr(equals + 1));
          if (IsQuoted(line.Value)) line.Value = line.Value.substr(1, line.Value.size() - 2);
        } else {
          line.Name.clear();
        }
      }
    }
    FLines.push_back(std::move(line));
  }
}

void TIniFile::Reindex() {
  FSections.clear();
  FSectionOrder.clear();
  TSection* open = nullptr;  // the first block of its name, while its lines are read
  for (std::size_t i = 0; i < FLines.size(); ++i) {
    const TLine& line = FLines[i];
    if (line.IsHeader) {
      if (open) open->End = i;
      auto [it, added] = FSections.try_emplace(Lower(line.Name));
      open = added ? &it->second : nullptr;
      if (added) {
        it->second.Header = i;
        FSectionOrder.push_back(line.Name);
      }
    } else if (line.IsEntry && open) {
      if (open->Keys.try_emplace(Lower(line.Name), i).second) open->KeyOrder.push_back(i);
    }
  }
  if (open) open->End = FLines.size();
}

const TIniFile::TSection* TIniFile::FindSection(const std::string& section) const {
  const auto it = FSections.find(Lower(Trim(section)));
  return it == FSections.end() ? nullptr : &it->second;
}

const TIniFile::TLine* TIniFile::FindEntry(const std::string& section,
                                           const std::string& key) const {
  const TSection* found = FindSection(section);
  if (!found) return nullptr;
  const auto it = found->Keys.find(Lower(Trim(key)));
  return it == found->Keys.end() ? nullptr : &FLines[it->second];
}

std::string TIniFile::ReadString(const std::string& section, const std::string& key,
                                 const std::string& defaultValue) const {
  const TLine* entry = FindEntry(section, key);
  return entry ? entry->Value : defaultValue;
}

std::string TIniFile::ReadStringLimited(const std::string& section, const std::string& key,
                                        const std::string& defaultValue,
                                        std::size_t bufferSize) const {
  std::string value = ReadString(section, key, defaultValue);
  if (bufferSize == 0) return "";
  std::size_t characters = 0;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if ((static_cast<unsigned char>(value[i]) & 0xC0) == 0x80) continue;
    if (++characters == bufferSize) {
      value.resize(i);
      break;
    }
  }
  return value;
}

int TIniFile::ReadInteger(const std::string& section, const std::string& key,
                          int defaultValue) const {
  const TLine* entry = FindEntry(section, key);
  int result;
  return entry && ParseInteger(entry->Value, result) ? result : defaultValue;
}

bool TIniFile::SectionExists(const std::string& section) const {
  return FindSection(section) != nullptr;
}

bool TIniFile::ValueExists(const std::string& section, const std::string& key) const {
  return FindEntry(section, key) != nullptr;
}

std::vector<std::string> TIniFile::ReadSections() const { return FSectionOrder; }

std::vector<std::string> TIniFile::ReadSection(const std::string& section) const {
  std::vector<std::string> keys;
  if (const TSection* found = FindSection(section))
    for (std::size_t line : found->KeyOrder) keys.push_back(FLines[line].Name);
  return keys;
}

std::string TIniFile::NewLineEnding() const {
  for (const TLine& line : FLines)
    if (!line.Ending.empty()) return line.Ending;
  return "\n";
}

template <typename TChange>
bool TIniFile::Modify(TChange change) {
  TFolderLock lock(FolderOf(WriteTarget(FFileName)));
  if (!Load()) return false;
  if (!change()) return true;
  Reindex();
  if (Save()) return true;
  Load();
  return false;
}

bool TIniFile::WriteString(const std::string& section, const std::string& key,
                           const std::string& value) {
  const std::string sectionName = Trim(section);
  const std::string keyName = Trim(key);
  if (sectionName.empty() || keyName.empty() || HasLineBreakOrNul(sectionName) ||
      HasLineBreakOrNul(keyName) || HasLineBreakOrNul(value) ||
      sectionName.find(']') != std::string::npos || keyName.find('=') != std::string::npos ||
      keyName[0] == '[' || keyName[0] == ';')
    return false;
  return Modify([&] {
    const std::string ending = NewLineEnding();
    TLine entry;
    entry.IsEntry = true;
    entry.Name = keyName;
    entry.Value = value;
    entry.Text = keyName + '=' + StoredValue(value);
    entry.Ending = ending;
    if (const TSection* found = FindSection(sectionName)) {
      const auto it = found->Keys.find(Lower(keyName));
      if (it != found->Keys.end()) {
        TLine& line = FLines[it->second];
        line.Value = value;
        line.Text = line.Name + '=' + StoredValue(value);
        return true;
      }
      std::size_t after = found->Header;
      for (std::size_t i = found->End; i-- > found->Header + 1;)
        if (FLines[i].IsEntry) {
          after = i;
          break;
        }
      if (FLines[after].Ending.empty()) FLines[after].Ending = ending;
      FLines.insert(FLines.begin() + static_cast<std::ptrdiff_t>(after) + 1, std::move(entry));
      return true;
    }
    if (!FLines.empty()) {
      if (FLines.back().Ending.empty()) FLines.back().Ending = ending;
      if (!Trim(FLines.back().Text).empty()) FLines.push_back({"", ending});
    }
    TLine header;
    header.IsHeader = true;
    header.Name = sectionName;
    header.Text = '[' + sectionName + ']';
    header.Ending = ending;
    FLines.push_back(std::move(header));
    FLines.push_back(std::move(entry));
    return true;
  });
}

bool TIniFile::WriteInteger(const std::string& section, const std::string& key, int value) {
  return WriteString(section, key, std::to_string(value));
}

bool TIniFile::DeleteKey(const std::string& section, const std::string& key) {
  return Modify([&] {
    const TSection* found = FindSection(section);
    if (!found) return false;
    const std::string wanted = Lower(Trim(key));
    const auto first = FLines.begin() + static_cast<std::ptrdiff_t>(found->Header) + 1;
    const auto last = FLines.begin() + static_cast<std::ptrdiff_t>(found->End);
    const auto kept = std::remove_if(first, last, [&](const TLine& line) {
      return line.IsEntry && Lower(line.Name) == wanted;
    });
    if (kept == last) return false;
    FLines.erase(kept, last);
    return true;
  });
}

bool TIniFile::EraseSection(const std::string& section) {
  return Modify([&] {
    const std::string wanted = Lower(Trim(section));
    bool inside = false;
    const std::size_t before = FLines.size();
    std::erase_if(FLines, [&](const TLine& line) {
      if (line.IsHeader) inside = Lower(line.Name) == wanted;
      return inside;
    });
    return FLines.size() != before;
  });
}

bool TIniFile::Save() const {
  std::string text;
  for (const TLine& line : FLines) text += line.Text + line.Ending;
  if (FEncoding == encUtf8Bom) text = "\xEF\xBB\xBF" + text;
  if (FEncoding == encUtf16Le) text = "\xFF\xFE" + Utf8ToUtf16Le(text);

  const std::string target = WriteTarget(FFileName);
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string temporary = FolderOf(target) + "/." + base + ".XXXXXX";
  const int handle = mkostemp(temporary.data(), O_CLOEXEC);
  if (handle < 0) return false;
  struct stat info {};
  const mode_t mode = stat(target.c_str(), &info) == 0 ? info.st_mode & 07777 : static_cast<mode_t>(NewFileMode("", CurrentUmask(022)));
  const bool written = WriteAll(handle, text) && fchmod(handle, mode) == 0 && fsync(handle) == 0;
  if (close(handle) != 0 || !written || rename(temporary.c_str(), target.c_str()) != 0) {
    unlink(temporary.c_str());
    return false;
  }
  const int folder = open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder >= 0) {
    fsync(folder);
    close(folder);
  }
  return true;
}

}  // namespace vyn
