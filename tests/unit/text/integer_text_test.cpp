#include "support/text/integer_text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace trawler::text {
namespace {

struct IntCase {
  std::string text;
  int expected;
};

TEST(IntOfText, ReadsDecimalAndHexadecimalFormsOrGivesTheDefault) {
  constexpr int d = -99;
  const IntCase cases[] = {
      {"42", 42},           {"  -17", -17},       {"\t\r\n 9", 9},      {"+5", 5},
      {"007", 7},           {"0", 0},             {"$FF", 255},         {"x41", 65},
      {"X1a", 26},          {"0x10", 16},         {"0X10", 16},         {"-$10", -16},
      {"2147483647", INT_MAX}, {"-2147483648", INT_MIN},
      // Not whole numbers: the default.
      {"", d},              {"   ", d},           {"12a", d},           {"12 ", d},
      {"abc", d},           {"-", d},             {"$", d},             {"0x", d},
      {"1.5", d},           {"--1", d},           {"$FG", d},           {"١٢", d},
      // Out of the 32-bit range: the default, never a wrapped value.
      {"2147483648", d},    {"-2147483649", d},   {"99999999999999999999999", d},
      {"$FFFFFFFF", d},     {"$100000000", d},
  };
  for (const IntCase& c : cases) {
    EXPECT_EQ(IntOfText(c.text, d), c.expected) << "text: [" << c.text << "]";
  }
}

}  // namespace
}  // namespace trawler::text
