#include <gtest/gtest.h>

#include "TestEnvironment.h"

int main(int argc, char** argv) {
  vyn::test::TIsolatedEnvironment environment;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
