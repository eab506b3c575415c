#include <gtest/gtest.h>

#include "SzddExpansion.h"
#include "TestEnvironment.h"
#include "platform/Resources.h"

namespace vyn {
namespace {

// Both resources come from vyn_embed_resource in this folder's CMakeLists.txt: a program
// packed into this test itself, a text file embedded as it is in a static library it links.
TEST(EmbeddedResourceTest, PackedResourceExpandsToTheFile) {
  const std::optional<std::string_view> bytes = FindResource("TOOLS_TEST_PACKED");
  ASSERT_TRUE(bytes);
  const std::string packed(*bytes);
  ASSERT_GE(packed.size(), 14u);
  EXPECT_EQ(packed.substr(0, 9), std::string("SZDD\x88\xF0\x27\x33" "A", 9));
  EXPECT_EQ(packed[9], std::string(VYN_PACKED_ORIGINAL).back());
  EXPECT_TRUE(test::ExpandWithLZFile(packed) == test::ReadFileText(VYN_PACKED_ORIGINAL));
}

TEST(EmbeddedResourceTest, ResourceOfAStaticLibraryIsTheFileAsItIs) {
  const std::optional<std::string_view> bytes = FindResource("TOOLS_TEST_TEXT");
  ASSERT_TRUE(bytes);
  EXPECT_TRUE(std::string(*bytes) == test::ReadFileText(VYN_TEXT_ORIGINAL));
  EXPECT_FALSE(FindResource("TOOLS_TEST_MISSING"));
}

}  // namespace
}  // namespace vyn
