#include "platform/FileVersion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "TestEnvironment.h"

namespace {

using vyn::ReadFixedFileInfo;
using vyn::TFixedFileInfo;

// Little-endian image of a file under construction.
struct TImage {
  std::string Bytes;
  void Put(size_t offset, uint64_t value, int width) {
    if (Bytes.size() < offset + width) Bytes.resize(offset + width, '\0');
    for (int i = 0; i < width; ++i) Bytes[offset + i] = static_cast<char>(value >> (8 * i));
  }
  void PutText(size_t offset, const std::string& text) {
    if (Bytes.size() < offset + text.size()) Bytes.resize(offset + text.size(), '\0');
    Bytes.replace(offset, text.size(), text);
  }
};

void PutFixedFileInfo(TImage& image, size_t offset, uint32_t versionMS, uint32_t versionLS) {
  const uint32_t words[13] = {0xFEEF04BD, 0x00010000, versionMS, versionLS, versionMS, versionLS,
                              0x3F, 0, 4, 1, 0, 0, 0};
  for (int i = 0; i < 13; ++i) image.Put(offset + 4 * i, words[i], 4);
}

// Offsets inside the minimal PE below, for the corruption table.
constexpr size_t kPeHeader = 0x40;
constexpr size_t kOptionalHeader = kPeHeader + 24;
constexpr size_t kSectionRaw = 0x200;
constexpr uint32_t kSectionRva = 0x1000;
constexpr size_t kVersionBlock = kSectionRaw + 0x60;

// A PE image whose only section holds a resource tree with an icon leaf (type 3) before the
// version resource (type 16 -> name 1 -> language 0x409) of version 1.2.3.4.
std::string MinimalPe(bool pe32Plus) {
  TImage pe;
  pe.PutText(0, "MZ");
  pe.Put(0x3C, kPeHeader, 4);
  pe.PutText(kPeHeader, std::string("PE\0\0", 4));
  const uint32_t optionalSize = pe32Plus ? 240 : 224;
  pe.Put(kPeHeader + 4, pe32Plus ? 0x8664 : 0x14C, 2);
  pe.Put(kPeHeader + 6, 1, 2);  // one section
  pe.Put(kPeHeader + 20, optionalSize, 2);
  pe.Put(kOptionalHeader, pe32Plus ? 0x20B : 0x10B, 2);
  const size_t directories = kOptionalHeader + (pe32Plus ? 112 : 96);
  pe.Put(directories - 4, 16, 4);                 // number of data directories
  const size_t versionSize = 6 + 32 + 2 + 52;
  const uint32_t resourceSize = 0x60 + versionSize;
  pe.Put(directories + 2 * 8, kSectionRva, 4);    // resource directory
  pe.Put(directories + 2 * 8 + 4, resourceSize, 4);
  const size_t section = kOptionalHeader + optionalSize;
  pe.PutText(section, ".rsrc");
  pe.Put(section + 8, resourceSize, 4);
  pe.Put(section + 12, kSectionRva, 4);
  pe.Put(section + 16, resourceSize, 4);
  pe.Put(section + 20, kSectionRaw, 4);

  const size_t r = kSectionRaw;
  pe.Put(r + 14, 2, 2);                           // root: two id entries
  pe.Put(r + 16, 3, 4);
  pe.Put(r + 20, 0x50, 4);                        // icons: a leaf, never a version
  pe.Put(r + 24, 16, 4);
  pe.Put(r + 28, 0x80000000u | 0x20, 4);
  pe.Put(r + 0x20 + 14, 1, 2);                    // names
  pe.Put(r + 0x20 + 16, 1, 4);
  pe.Put(r + 0x20 + 20, 0x80000000u | 0x38, 4);
  pe.Put(r + 0x38 + 14, 1, 2);                    // languages
  pe.Put(r + 0x38 + 16, 0x409, 4);
  pe.Put(r + 0x38 + 20, 0x50, 4);
  pe.Put(r + 0x50, kSectionRva + 0x60, 4);        // data entry
  pe.Put(r + 0x54, versionSize, 4);

  const size_t v = kVersionBlock;
  pe.Put(v, versionSize, 2);
  pe.Put(v + 2, 52, 2);
  const std::u16string key = u"VS_VERSION_INFO";
  for (size_t i = 0; i < key.size(); ++i) pe.Put(v + 6 + 2 * i, key[i], 2);
  PutFixedFileInfo(pe, v + 40, 0x00010002, 0x00030004);
  return pe.Bytes;
}

// An ELF file with a foreign note before the version note, in a note section.
std::string MinimalElf(bool is64, uint32_t versionMS, uint32_t versionLS) {
  TImage elf;
  elf.PutText(0, "\x7f" "ELF");
  elf.Put(4, is64 ? 2 : 1, 1);
  elf.Put(5, 1, 1);
  elf.Put(6, 1, 1);
  const size_t notes = 0x40;
  elf.Put(notes, 4, 4);
  elf.Put(notes + 4, 20, 4);
  elf.Put(notes + 8, 3, 4);
  elf.PutText(notes + 12, std::string("GNU\0", 4));
  const size_t vyn = notes + 16 + 20;
  elf.Put(vyn, 4, 4);
  elf.Put(vyn + 4, 52, 4);
  elf.Put(vyn + 8, 1, 4);
  elf.PutText(vyn + 12, std::string("VYN\0", 4));
  PutFixedFileInfo(elf, vyn + 16, versionMS, versionLS);
  const size_t notesSize = vyn + 16 + 52 - notes;
  const size_t table = 0x100;
  const size_t entrySize = is64 ? 64 : 40;
  elf.Put(is64 ? 0x28 : 0x20, table, is64 ? 8 : 4);
  elf.Put(is64 ? 0x3A : 0x2E, entrySize, 2);
  elf.Put(is64 ? 0x3C : 0x30, 2, 2);
  const size_t note = table + entrySize;          // entry 0 stays empty
  elf.Put(note + 4, 7, 4);                        // SHT_NOTE
  elf.Put(note + (is64 ? 0x18 : 0x10), notes, is64 ? 8 : 4);
  elf.Put(note + (is64 ? 0x20 : 0x14), notesSize, is64 ? 8 : 4);
  elf.Put(note + (is64 ? 0x30 : 0x20), 4, is64 ? 8 : 4);
  elf.Put(table + 2 * entrySize - 1, 0, 1);
  return elf.Bytes;
}

std::optional<TFixedFileInfo> ReadBytes(const std::string& bytes) {
  const std::string path = vyn::test::TestRoot() + "/sample.bin";
  vyn::test::WriteFileText(path, bytes);
  return ReadFixedFileInfo(path);
}

TEST(FileVersion, ReadsMinimalPe) {
  for (bool pe32Plus : {false, true}) {
    auto info = ReadBytes(MinimalPe(pe32Plus));
    ASSERT_TRUE(info) << "PE32+: " << pe32Plus;
    EXPECT_EQ(info->Signature, 0xFEEF04BDu);
    EXPECT_EQ(info->FileVersionMS, 0x00010002u);
    EXPECT_EQ(info->FileVersionLS, 0x00030004u);
    EXPECT_EQ(info->FileType, 1u);
    EXPECT_EQ(vyn::FormatFileVersion(*info), "1.2.3.4");
  }
}

TEST(FileVersion, TruncatedPeHasNoVersion) {
  const std::string pe = MinimalPe(false);
  for (size_t length = 0; length < pe.size(); ++length)
    EXPECT_FALSE(ReadBytes(pe.substr(0, length))) << "length " << length;
}

struct TCorruption {
  const char* What;
  size_t Offset;
  uint64_t Value;
  int Width;
};

TEST(FileVersion, CorruptedPeHasNoVersion) {
  const size_t directories = kOptionalHeader + 96;
  const size_t section = kOptionalHeader + 224;
  const TCorruption cases[] = {
      {"PE offset past the end", 0x3C, 0xFFFFFFF0, 4},
      {"PE offset into the header", 0x3C, 0x3E, 4},
      {"PE signature", kPeHeader + 1, 'X', 1},
      {"optional header magic", kOptionalHeader, 0x107, 2},
      {"optional header size too small", kPeHeader + 20, 64, 2},
      {"optional header size past the end", kPeHeader + 20, 0xFFFF, 2},
      {"section count past the end", kPeHeader + 6, 0xFFFF, 2},
      {"no section", kPeHeader + 6, 0, 2},
      {"too few data directories", directories - 4, 2, 4},
      {"no resource directory", directories + 16, 0, 4},
      {"resource directory outside the section", directories + 16, 0xFFFFFFF0, 4},
      {"section data past the end", section + 20, 0xFFFFFF00, 4},
      {"no version type", kSectionRaw + 24, 17, 4},
      {"version type is a leaf", kSectionRaw + 28, 0x50, 4},
      {"subdirectory outside the section", kSectionRaw + 28, 0xFFFFFFFF, 4},
      {"language directory outside", kSectionRaw + 0x20 + 20, 0x80001000, 4},
      {"language entry is a directory", kSectionRaw + 0x38 + 20, 0x80000000, 4},
      {"data outside the image", kSectionRaw + 0x50, 0xFFFFFFF0, 4},
      {"data size past the section", kSectionRaw + 0x54, 0x10000, 4},
      {"data size cuts the record", kSectionRaw + 0x54, 60, 4},
      {"block length cuts the record", kVersionBlock, 60, 2},
      {"value length too small", kVersionBlock + 2, 20, 2},
      {"wrong key", kVersionBlock + 6, 'X', 2},
      {"wrong signature", kVersionBlock + 40, 0xFEEF04BC, 4},
  };
  for (const TCorruption& c : cases) {
    TImage pe{MinimalPe(false)};
    pe.Put(c.Offset, c.Value, c.Width);
    EXPECT_FALSE(ReadBytes(pe.Bytes)) << c.What;
  }
  TImage runaway{MinimalPe(false)};
  runaway.Put(kSectionRaw + 14, 0xFFFF, 2);  // entries run past the section, none of them a version
  runaway.Put(kSectionRaw + 24, 17, 4);
  EXPECT_FALSE(ReadBytes(runaway.Bytes));
}

// Whatever a single byte says, reading stays inside the file (the sanitizer build checks).
TEST(FileVersion, AnyCorruptByteIsSafe) {
  for (const std::string& original : {MinimalPe(true), MinimalElf(true, 1, 2)}) {
    for (size_t i = 0; i < original.size(); ++i) {
      for (unsigned char value : {0x00, 0x80, 0xFF}) {
        std::string bytes = original;
        bytes[i] = static_cast<char>(value);
        if (auto info = ReadBytes(bytes)) {
          EXPECT_EQ(info->Signature, 0xFEEF04BDu);
        }
      }
    }
  }
}

TEST(FileVersion, ReadsVersionNoteOfElf) {
  for (bool is64 : {false, true}) {
    auto info = ReadBytes(MinimalElf(is64, 0x00020005, 0x00000007));
    ASSERT_TRUE(info) << "64-bit: " << is64;
    EXPECT_EQ(vyn::FormatFileVersion(*info), "2.5.0.7");
    EXPECT_EQ(info->StrucVersion, 0x00010000u);
  }
  const std::string elf = MinimalElf(true, 1, 2);
  for (size_t length = 0; length < elf.size(); ++length)
    EXPECT_FALSE(ReadBytes(elf.substr(0, length))) << "length " << length;
}

// A section count taken from entry 0 whose table size wraps around 64 bits must be refused,
// not walked entry by entry.
TEST(FileVersion, ElfSectionCountThatWrapsIsRefused) {
  for (uint64_t count : {uint64_t{1} << 58, (uint64_t{1} << 58) + 2}) {
    TImage elf{MinimalElf(true, 1, 2)};
    elf.Put(0x3C, 0, 2);             // the count is in entry 0
    elf.Put(0x100 + 0x20, count, 8);  // entry 0 sh_size
    EXPECT_FALSE(ReadBytes(elf.Bytes)) << count;
  }
}

// The build stamps every executable, this test included, with the project version.
TEST(FileVersion, OwnExecutableCarriesTheProjectVersion) {
  auto info = ReadFixedFileInfo("/proc/self/exe");
  ASSERT_TRUE(info);
  EXPECT_EQ(info->Signature, 0xFEEF04BDu);
  EXPECT_EQ(info->StrucVersion, 0x00010000u);
  EXPECT_EQ(info->ProductVersionMS, info->FileVersionMS);
  EXPECT_EQ(info->ProductVersionLS, info->FileVersionLS);
  std::string expected = VYN_PROJECT_VERSION;
  for (int parts = std::count(expected.begin(), expected.end(), '.') + 1; parts < 4; ++parts)
    expected += ".0";
  EXPECT_EQ(vyn::FormatFileVersion(*info), expected);
}

TEST(FileVersion, OtherFilesHaveNoVersion) {
  EXPECT_FALSE(ReadBytes(""));
  EXPECT_FALSE(ReadBytes("MZ"));
  EXPECT_FALSE(ReadBytes("A plain text file,\nnothing more.\n"));
  EXPECT_FALSE(ReadFixedFileInfo(vyn::test::TestRoot() + "/missing.exe"));
  EXPECT_FALSE(ReadFixedFileInfo(vyn::test::TestRoot()));  // a folder
  EXPECT_FALSE(ReadFixedFileInfo("/bin/true"));            // an executable without the note
}

TEST(FileVersion, FormatsAllFourParts) {
  TFixedFileInfo info;
  info.FileVersionMS = 0xFFFF0000;
  info.FileVersionLS = 0x0001FFFE;
  EXPECT_EQ(vyn::FormatFileVersion(info), "65535.0.1.65534");
}

}  // namespace
