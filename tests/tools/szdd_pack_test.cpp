#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <stdexcept>

#include "SzddExpansion.h"
#include "TestEnvironment.h"
#include "tools/szdd/SzddPack.h"

namespace vyn {
namespace {

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& byte : bytes) byte = static_cast<char>(random() & 0xFF);
  return bytes;
}

std::string Repeated(const std::string& block, std::size_t times) {
  std::string out;
  for (std::size_t i = 0; i < times; ++i) out += block;
  return out;
}

const std::string kText = "/usr/share/common-licenses/GPL-3";

struct TCase {
  const char* Name;
  std::string Data;
};

std::vector<TCase> Inputs() {
  return {
      {"empty", ""},
      {"one byte", "x"},
      {"all spaces", std::string(10000, ' ')},
      {"spaces then text", std::string(30, ' ') + "text after the spaces  " + std::string(5, ' ')},
      {"one byte repeated", std::string(5000, '\xFF')},
      {"short pattern", Repeated("abcdefg", 3000)},
      {"block at the window's distance", Repeated(RandomBytes(4096, 1), 3)},
      {"block just beyond the window", Repeated(RandomBytes(4097, 2), 3)},
      {"random bytes", RandomBytes(100000, 3)},
      {"executable", test::ReadFileText(VYN_TEST_ELF)},
      {"text", test::ReadFileText(kText)},
  };
}

TEST(SzddPackTest, ExpandsBackWithLZFileAndMsexpand) {
  const bool msexpand = test::HaveMsexpand();
  if (!msexpand) std::cout << "msexpand is missing: only ExpandLZFile is checked\n";
  for (const TCase& input : Inputs()) {
    SCOPED_TRACE(input.Name);
    const std::string packed = PackSzdd(input.Data, 'e');
    // Whole-file comparisons: a failure would print megabytes.
    EXPECT_TRUE(test::ExpandWithLZFile(packed) == input.Data);
    if (msexpand) {
      EXPECT_TRUE(test::ExpandWithMsexpand(packed) == input.Data);
    }
  }
}

TEST(SzddPackTest, HeaderHoldsTheCharacterAndTheSizeLittleEndian) {
  const std::string packed = PackSzdd(std::string(0x10203, 'z'), 'q');
  EXPECT_EQ(packed.substr(0, 14), std::string("SZDD\x88\xF0\x27\x33" "Aq\x03\x02\x01\x00", 14));
}

TEST(SzddPackTest, MatchesReachIntoTheInitialSpacesAndOverlapThemselves) {
  // 556 references of at most 18 bytes, eight to a control byte: no literal at all.
  EXPECT_EQ(PackSzdd(std::string(10000, ' '), 'e').size(), 14u + 70 + 556 * 2);
  EXPECT_EQ(PackSzdd(std::string(18, ' '), 'e').size(), 14u + 1 + 2);
  // The first byte is a literal, the rest copies of it.
  EXPECT_EQ(PackSzdd(std::string(19, 'a'), 'e').size(), 14u + 1 + 1 + 2);
}

TEST(SzddPackTest, CopiesFromAFullWindowBack) {
  const std::string block = RandomBytes(4096, 4);
  const std::size_t once = PackSzdd(block, 'e').size();
  // The second copy is 228 references at distance 4096 and their 29 control bytes.
  EXPECT_EQ(PackSzdd(block + block, 'e').size(), once + 228 * 2 + 29);
}

TEST(SzddPackTest, TakesAShorterCopyWhenThatSavesItemsLater) {
  // Per unit: A (18 new bytes), B = the last 4 bytes of A and 2 new ones, then A and those 2
  // again. The longest copy (all of A) leaves two literals; A's first 14 bytes and then all of
  // B need one item less. Optimal per unit: 18 literals, B as a copy and 2 literals, 2 copies.
  // No byte value occurs in two units, nor a space, so nothing else can match.
  std::string alphabet;
  for (int value = 0; value < 256; ++value)
    if (value != ' ') alphabet += static_cast<char>(value);
  std::shuffle(alphabet.begin(), alphabet.end(), std::mt19937(7));
  constexpr std::size_t kUnits = 12;
  std::string data;
  for (std::size_t unit = 0; unit < kUnits; ++unit) {
    const std::string a = alphabet.substr(unit * 20, 18), fresh = alphabet.substr(unit * 20 + 18, 2);
    data += a + a.substr(14) + fresh + a + fresh;
  }
  const std::string packed = PackSzdd(data, 'e');
  const std::size_t bits = kUnits * (18 * 9 + (17 + 2 * 9) + 2 * 17);  // the longest copy: 12 more
  EXPECT_EQ(packed.size(), 14 + (bits + 7) / 8);
  EXPECT_TRUE(test::ExpandWithLZFile(packed) == data);
}

TEST(SzddPackTest, KeepsTheWindowAcrossItsWorkingBlocks) {
  // 800 kB of one repeated block: after the first, copies only, across the packer's
  // internal pieces of a few hundred kB; a window lost between two would cost 4000 literals.
  const std::string block = RandomBytes(4000, 5);
  const std::string data = Repeated(block, 200);
  const std::string packed = PackSzdd(data, 'e');
  const std::size_t copies = (data.size() - block.size()) / 18 + 64;
  EXPECT_LE(packed.size(), PackSzdd(block, 'e').size() + copies * 17 / 8);
  EXPECT_TRUE(test::ExpandWithLZFile(packed) == data);
  if (test::HaveMsexpand()) {
    EXPECT_TRUE(test::ExpandWithMsexpand(packed) == data);
  }
}

TEST(SzddPackTest, PacksNoLargerThanMscompress) {
  for (const std::string& path : {std::string(VYN_TEST_ELF), kText}) {
    SCOPED_TRACE(path);
    const std::string data = test::ReadFileText(path);
    const std::size_t ours = PackSzdd(data, 'e').size(), theirs = test::MscompressSize(data);
    std::cout << path << ": " << data.size() << " bytes, packed " << ours << ", mscompress " << theirs << "\n";
    EXPECT_LE(ours, theirs);
  }
}

TEST(SzddPackTest, RefusesMoreThanTheSizeFieldHoldsWithoutReadingIt) {
  // Address space that faults when touched: the refusal must come before any read.
  const std::size_t size = std::size_t{kSzddMaxSize} + 1;
  void* reserved = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  ASSERT_NE(reserved, MAP_FAILED);
  bool written = false;
  EXPECT_THROW(PackSzdd(std::string_view(static_cast<const char*>(reserved), size), 'e',
                        [&](std::string_view) { written = true; }),
               std::length_error);
  EXPECT_FALSE(written);
  munmap(reserved, size);
}

class SzddPackCommandTest : public ::testing::Test {
protected:
  int Pack(const std::string& input, const std::string& output) {
    const std::string command = std::string("'") + VYN_SZDD_PACK + "' '" + input + "' '" + output + "' 2>'" +
                                FErrors + "'";
    return std::system(command.c_str());
  }
  void SetUp() override { std::filesystem::create_directory(FFolder); }

  test::TIsolatedEnvironment FEnvironment;
  const std::string FFolder = FEnvironment.Root() + "/pack";
  const std::string FErrors = FFolder + "/errors";
};

TEST_F(SzddPackCommandTest, PacksUnderTheInputsLastCharacter) {
  const std::string data = test::ReadFileText(kText);
  test::WriteFileText(FFolder + "/notes.txt", data);
  ASSERT_EQ(Pack(FFolder + "/notes.txt", FFolder + "/notes.tx_"), 0);
  const std::string packed = test::ReadFileText(FFolder + "/notes.tx_");
  EXPECT_TRUE(packed == PackSzdd(data, 't'));
  EXPECT_EQ(packed[9], 't');
}

TEST_F(SzddPackCommandTest, RefusesATooLargeOrMissingInputAndWritesNothing) {
  const std::string huge = FFolder + "/huge.bin";
  test::WriteFileText(huge, "");
  std::filesystem::resize_file(huge, std::uintmax_t{kSzddMaxSize} + 1);  // sparse
  EXPECT_NE(Pack(huge, FFolder + "/huge.bi_"), 0);
  EXPECT_NE(test::ReadFileText(FErrors).find("at most 4294967295"), std::string::npos);
  EXPECT_NE(Pack(FFolder + "/missing", FFolder + "/missin_"), 0);
  EXPECT_NE(test::ReadFileText(FErrors).find("cannot open"), std::string::npos);
  for (const auto& entry : std::filesystem::directory_iterator(FFolder))
    EXPECT_TRUE(entry.path().filename() == "huge.bin" || entry.path().filename() == "errors") << entry.path();
}

}  // namespace
}  // namespace vyn
