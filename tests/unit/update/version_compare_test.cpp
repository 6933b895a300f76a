#include "support/update/version_compare.h"

#include <gtest/gtest.h>

using trawler::update::CompareVersions;

TEST(CompareVersions, ComparesPartByPart) {
  struct Case {
    const char *a, *b;
    int expected;
  } cases[] = {
      {"1.10", "1.9", 1},      {"1.9", "1.10", -1},      {"1.2", "1.1.0.0", 1},
      {"1.1.0.0", "1.2", -1},  {"1.2", "1.2.0", 0},       {"1.0.1000", "1.1", -1},
      {"1.1000", "2.0", -1},   {"2.0", "2", 0},           {"", "0", 0},
      {"3.01", "3.1", 0},      {"10.0", "9.99.99", 1},    {" 1.5 ", "1.5", 0},
      {"1.x", "1.0", 0},       {"1.2beta", "1.2", 0},     {"123456789012345678901", "123456789012345678902", -1},
  };
  for (const auto &c : cases) EXPECT_EQ(CompareVersions(c.a, c.b), c.expected) << c.a << " vs " << c.b;
}
