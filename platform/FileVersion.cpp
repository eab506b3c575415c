#include "platform/FileVersion.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vyn {

namespace {

constexpr uint32_t kFixedFileInfoSignature = 0xFEEF04BD;
constexpr size_t kFixedFileInfoSize = 52;
// Little-endian reads from the file through a small window, so a large executable is never read
// whole; every read outside the file fails instead of reading.
class TByteReader {
public:
  explicit TByteReader(const std::string& fileName) {
    // Non-blocking, so that a named pipe given as a file name cannot hang the open.
    FFile = open(fileName.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    struct stat st {};
    if (FFile >= 0 && fstat(FFile, &st) == 0 && S_ISREG(st.st_mode))
      FSize = static_cast<uint64_t>(st.st_size);
  }
  ~TByteReader() {
    if (FFile >= 0) close(FFile);
  }
  TByteReader(const TByteReader&) = delete;
  TByteReader& operator=(const TByteReader&) = delete;

  uint64_t Size() const { return FSize; }
  bool Has(uint64_t offset, uint64_t length) const {
    return offset <= FSize && length <= FSize - offset;
  }
  bool U16(uint64_t offset, uint32_t& value) const { return Read(offset, 2, value); }
  bool U32(uint64_t offset, uint32_t& value) const { return Read(offset, 4, value); }
  bool U64(uint64_t offset, uint64_t& value) const {
    uint32_t low = 0;
    uint32_t high = 0;
    if (!U32(offset, low) || !U32(offset + 4, high)) return false;
    value = (static_cast<uint64_t>(high) << 32) | low;
    return true;
  }
  // A 32- or 64-bit field, by the file's class.
  bool Word(uint64_t offset, bool is64, uint64_t& value) const {
    if (is64) return U64(offset, value);
    uint32_t v = 0;
    if (!U32(offset, v)) return false;
    value = v;
    return true;
  }
  bool Equals(uint64_t offset, std::string_view text) const {
    const unsigned char* bytes = Window(offset, text.size());
    return bytes && std::memcmp(bytes, text.data(), text.size()) == 0;
  }

private:
  static constexpr size_t kWindowSize = 64 * 1024;

  bool Read(uint64_t offset, unsigned length, uint32_t& value) const {
    const unsigned char* bytes = Window(offset, length);
    if (!bytes) return false;
    value = 0;
    for (unsigned i = 0; i < length; ++i) value |= static_cast<uint32_t>(bytes[i]) << (8 * i);
    return true;
  }
  // `length` (at most the window size) bytes at `offset`, or null when they are not all there.
  const unsigned char* Window(uint64_t offset, size_t length) const {
    if (length > kWindowSize || !Has(offset, length)) return nullptr;
    if (offset < FWindowStart || offset + length > FWindowStart + FWindow.size()) {
      FWindow.resize(static_cast<size_t>(std::min<uint64_t>(kWindowSize, FSize - offset)));
      FWindowStart = offset;
      size_t done = 0;
      while (done < FWindow.size()) {
        ssize_t got = pread(FFile, FWindow.data() + done, FWindow.size() - done,
                            static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {  // the file shrank under us
          FWindow.clear();
          return nullptr;
        }
        done += static_cast<size_t>(got);
      }
    }
    return FWindow.data() + (offset - FWindowStart);
  }

  int FFile = -1;
  uint64_t FSize = 0;
  mutable std::vector<unsigned char> FWindow;
  mutable uint64_t FWindowStart = 0;
};

std::optional<TFixedFileInfo> ParseFixedFileInfo(const TByteReader& reader, uint64_t offset) {
  uint32_t words[13];
  for (int i = 0; i < 13; ++i)
    if (!reader.U32(offset + 4 * i, words[i])) return std::nullopt;
  if (words[0] != kFixedFileInfoSignature) return std::nullopt;
  TFixedFileInfo info;
  info.Signature = words[0];
  info.StrucVersion = words[1];
  info.FileVersionMS = words[2];
  info.FileVersionLS = words[3];
  info.ProductVersionMS = words[4];
  info.ProductVersionLS = words[5];
  info.FileFlagsMask = words[6];
  info.FileFlags = words[7];
  info.FileOS = words[8];
  info.FileType = words[9];
  info.FileSubtype = words[10];
  info.FileDateMS = words[11];
  info.FileDateLS = words[12];
  return info;
}

// ---- PE: MZ header -> PE header -> resource directory -> RT_VERSION -> VS_VERSIONINFO

struct TPeSection {
  uint32_t VirtualAddress = 0;
  uint32_t VirtualSize = 0;
  uint32_t RawOffset = 0;
  uint32_t RawSize = 0;
};

class TPeImage {
public:
  explicit TPeImage(const TByteReader& reader) : FReader(reader) {}

  bool Load(uint32_t& resourceRva, uint32_t& resourceSize) {
    uint32_t peOffset = 0;
    if (!FReader.Equals(0, "MZ") || !FReader.U32(0x3C, peOffset)) return false;
    if (!FReader.Equals(peOffset, std::string_view("PE\0\0", 4))) return false;
    const uint64_t coff = uint64_t{peOffset} + 4;
    uint32_t sectionCount = 0;
    uint32_t optionalSize = 0;
    if (!FReader.U16(coff + 2, sectionCount) || !FReader.U16(coff + 16, optionalSize)) return false;
    const uint64_t optional = coff + 20;
    uint32_t magic = 0;
    if (!FReader.U16(optional, magic)) return false;
    uint32_t countOffset = 0;
    if (magic == 0x10B)
      countOffset = 92;
    else if (magic == 0x20B)
      countOffset = 108;
    else
      return false;
    uint32_t directoryCount = 0;
    const uint32_t resourceEntry = countOffset + 4 + 2 * 8;
    if (!FReader.U32(optional + countOffset, directoryCount) || directoryCount < 3 ||
        resourceEntry + 8 > optionalSize)
      return false;
    if (!FReader.U32(optional + resourceEntry, resourceRva) ||
        !FReader.U32(optional + resourceEntry + 4, resourceSize) || resourceRva == 0)
      return false;
    const uint64_t table = optional + optionalSize;
    if (!FReader.Has(table, uint64_t{sectionCount} * 40)) return false;
    for (uint32_t i = 0; i < sectionCount; ++i) {
      const uint64_t entry = table + uint64_t{i} * 40;
      TPeSection section;
      FReader.U32(entry + 8, section.VirtualSize);
      FReader.U32(entry + 12, section.VirtualAddress);
      FReader.U32(entry + 16, section.RawSize);
      FReader.U32(entry + 20, section.RawOffset);
      FSections.push_back(section);
    }
    return true;
  }

  // File offset of `length` bytes at `rva`, when they lie in one section's file data; with
  // `available`, also how many bytes from there on lie in that section and in the file.
  bool Map(uint32_t rva, uint32_t length, uint64_t& offset, uint64_t* available = nullptr) const {
    for (const TPeSection& section : FSections) {
      if (rva < section.VirtualAddress) continue;
      const uint64_t delta = rva - section.VirtualAddress;
      if (delta + length > section.RawSize) continue;
      offset = uint64_t{section.RawOffset} + delta;
      if (!FReader.Has(offset, length)) return false;
      if (available) *available = std::min<uint64_t>(section.RawSize - delta, FReader.Size() - offset);
      return true;
    }
    return false;
  }

private:
  const TByteReader& FReader;
  std::vector<TPeSection> FSections;
};

constexpr uint32_t kResourceSubdirectory = 0x80000000u;
constexpr uint32_t kRtVersion = 16;

// One level of the resource tree: the entry with `id` (or the first entry when id < 0), giving
// its offset relative to the resource section and whether it is a subdirectory.
bool FindResourceEntry(const TPeImage& image, const TByteReader& reader, uint32_t resourceRva,
                       uint32_t directoryOffset, long id, uint32_t& target, bool& isDirectory) {
  uint64_t directory = 0;
  if (!image.Map(resourceRva + directoryOffset, 16, directory)) return false;
  uint32_t named = 0;
  uint32_t ids = 0;
  reader.U16(directory + 12, named);
  reader.U16(directory + 14, ids);
  // The entries are searched only within the section that holds the first one: a count that
  // runs past it must not cost a section lookup per entry.
  uint64_t entries = 0;
  uint64_t available = 0;
  if (!image.Map(resourceRva + directoryOffset + 16, 8, entries, &available)) return false;
  const uint64_t total = std::min<uint64_t>(named + ids, available / 8);
  for (uint64_t i = 0; i < total; ++i) {
    const uint64_t entry = entries + i * 8;
    uint32_t name = 0;
    uint32_t data = 0;
    reader.U32(entry, name);
    reader.U32(entry + 4, data);
    if (id >= 0 && ((name & kResourceSubdirectory) || name != static_cast<uint32_t>(id))) continue;
    target = data & ~kResourceSubdirectory;
    isDirectory = (data & kResourceSubdirectory) != 0;
    return true;
  }
  return false;
}

std::optional<TFixedFileInfo> ReadPeVersion(const TByteReader& reader) {
  TPeImage image(reader);
  uint32_t resourceRva = 0;
  uint32_t resourceSize = 0;
  if (!image.Load(resourceRva, resourceSize)) return std::nullopt;

  // Type RT_VERSION, then its first name, then its first language.
  uint32_t offset = 0;
  bool isDirectory = true;
  const long path[] = {long{kRtVersion}, -1, -1};
  for (long id : path) {
    if (!isDirectory) return std::nullopt;
    if (!FindResourceEntry(image, reader, resourceRva, offset, id, offset, isDirectory))
      return std::nullopt;
  }
  if (isDirectory) return std::nullopt;

  uint64_t dataEntry = 0;
  uint32_t dataRva = 0;
  uint32_t dataSize = 0;
  if (!image.Map(resourceRva + offset, 16, dataEntry) || !reader.U32(dataEntry, dataRva) ||
      !reader.U32(dataEntry + 4, dataSize))
    return std::nullopt;
  uint64_t block = 0;
  if (!image.Map(dataRva, dataSize, block)) return std::nullopt;

  // VS_VERSIONINFO: length, value length, type, UTF-16 key, padding to 4 bytes, the record.
  static constexpr char16_t kKey[] = u"VS_VERSION_INFO";
  uint32_t length = 0;
  uint32_t valueLength = 0;
  if (!reader.U16(block, length) || !reader.U16(block + 2, valueLength)) return std::nullopt;
  if (length > dataSize) length = dataSize;
  const uint32_t keyOffset = 6;
  const uint32_t keyBytes = sizeof kKey;  // with its terminating zero
  for (uint32_t i = 0; i < keyBytes / 2; ++i) {
    uint32_t c = 0;
    if (!reader.U16(block + keyOffset + 2 * i, c) || c != static_cast<uint32_t>(kKey[i]))
      return std::nullopt;
  }
  const uint32_t valueOffset = (keyOffset + keyBytes + 3) & ~3u;
  if (valueLength < kFixedFileInfoSize || valueOffset + kFixedFileInfoSize > length)
    return std::nullopt;
  return ParseFixedFileInfo(reader, block + valueOffset);
}

// ---- ELF: the note "VYN", type 1, that the build stamps into every executable

std::optional<TFixedFileInfo> FindVersionNote(const TByteReader& reader, uint64_t start,
                                              uint64_t size, uint64_t alignment) {
  if (!reader.Has(start, size)) return std::nullopt;
  const uint64_t end = start + size;
  auto aligned = [alignment](uint64_t value) { return (value + alignment - 1) & ~(alignment - 1); };
  uint64_t note = start;
  while (note + 12 <= end) {
    uint32_t nameSize = 0;
    uint32_t descSize = 0;
    uint32_t type = 0;
    reader.U32(note, nameSize);
    reader.U32(note + 4, descSize);
    reader.U32(note + 8, type);
    const uint64_t name = note + 12;
    const uint64_t desc = note + aligned(12 + uint64_t{nameSize});
    const uint64_t next = note + aligned(desc - note + descSize);
    if (next > end) return std::nullopt;
    if (nameSize == 4 && type == 1 && descSize == kFixedFileInfoSize &&
        reader.Equals(name, std::string_view("VYN\0", 4)))
      return ParseFixedFileInfo(reader, desc);
    note = next;
  }
  return std::nullopt;
}

std::optional<TFixedFileInfo> ReadElfVersion(const TByteReader& reader) {
  constexpr uint32_t kShtNote = 7;
  uint32_t elfClass = 0;
  uint32_t encoding = 0;
  if (!reader.U16(4, elfClass) || !reader.U16(5, encoding)) return std::nullopt;
  elfClass &= 0xFF;
  encoding &= 0xFF;
  if ((elfClass != 1 && elfClass != 2) || encoding != 1) return std::nullopt;
  const bool is64 = elfClass == 2;

  uint64_t sectionTable = 0;
  uint32_t entrySize = 0;
  uint32_t count = 0;
  if (!reader.Word(is64 ? 0x28 : 0x20, is64, sectionTable) ||
      !reader.U16(is64 ? 0x3A : 0x2E, entrySize) || !reader.U16(is64 ? 0x3C : 0x30, count))
    return std::nullopt;
  const uint32_t minimumEntry = is64 ? 64 : 40;
  if (sectionTable == 0 || entrySize < minimumEntry) return std::nullopt;
  uint64_t total = count;
  if (total == 0 && !reader.Word(sectionTable + (is64 ? 0x20 : 0x14), is64, total))
    return std::nullopt;  // more sections than fit the header field: the count is in entry 0
  if (total > UINT64_MAX / entrySize || !reader.Has(sectionTable, total * entrySize)) return std::nullopt;

  for (uint64_t i = 0; i < total; ++i) {
    const uint64_t entry = sectionTable + i * entrySize;
    uint32_t type = 0;
    uint64_t offset = 0;
    uint64_t size = 0;
    uint64_t alignment = 0;
    reader.U32(entry + 4, type);
    if (type != kShtNote) continue;
    reader.Word(entry + (is64 ? 0x18 : 0x10), is64, offset);
    reader.Word(entry + (is64 ? 0x20 : 0x14), is64, size);
    reader.Word(entry + (is64 ? 0x30 : 0x20), is64, alignment);
    if (auto info = FindVersionNote(reader, offset, size, alignment == 8 ? 8 : 4)) return info;
  }
  return std::nullopt;
}

}  // namespace

std::optional<TFixedFileInfo> ReadFixedFileInfo(const std::string& fileName) {
  const TByteReader reader(fileName);
  if (reader.Equals(0, "MZ")) return ReadPeVersion(reader);
  if (reader.Equals(0, "\x7f" "ELF")) return ReadElfVersion(reader);
  return std::nullopt;
}

std::string FormatFileVersion(const TFixedFileInfo& info) {
  char text[48];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", info.FileVersionMS >> 16,
                info.FileVersionMS & 0xFFFF, info.FileVersionLS >> 16, info.FileVersionLS & 0xFFFF);
  return text;
}

}  // namespace vyn
