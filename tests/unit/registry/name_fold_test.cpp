#include <gtest/gtest.h>

#include "platform/registry_name_fold.h"

using trawler::platform::FoldRegistryName;

namespace {

struct FoldCase {
  const char *A;
  const char *B;
  bool Same;
};

TEST(RegistryNameFold, ComparesLettersOfManyScriptsIgnoringCase) {
  const FoldCase cases[] = {
      {"FontSize", "fontsize", true},
      {"\\SOFTWARE\\Oxbow", "\\software\\oxbow", true},
      {"Ünïcödé ÀÉÎÕÜ", "üNÏCÖDÉ àéîõü", true},
      {"ŁÓDŹ Ščř", "łódź šČŘ", true},
      {"Ÿ", "ÿ", true},
      {"ΑΒΓ Ωμέγα", "αβγ ωΜΈΓΑ", true},
      {"ΣΟΦΟΣ", "σοφος", true},  // final sigma
      {"Ключ Ёлка ЄҐЇ", "КЛЮЧ ёЛКА єґї", true},
      // The multiplication and division signs are not letters.
      {"×", "÷", false},
      {"a", "b", false},
      {"ss", "ß", false},
      // Bytes that are not UTF-8 still compare by themselves.
      {"\xC0\xFF", "\xC0\xFF", true},
      {"\xC0\xFF", "\xE0\xFF", false},
      {"A\xFF", "a\xFF", true},
      // An overlong encoding of "A" is not a letter.
      {"\xC1\x81", "a", false},
      {"", "", true},
  };
  for (const auto &c : cases) {
    EXPECT_EQ(FoldRegistryName(c.A) == FoldRegistryName(c.B), c.Same) << c.A << " | " << c.B;
  }
}

TEST(RegistryNameFold, KeepsEverythingButLetterCase) {
  EXPECT_EQ(FoldRegistryName("Engine:Site/1\\x \"q\""), "engine:site/1\\x \"q\"");
  EXPECT_EQ(FoldRegistryName(std::string("A\0B", 3)), std::string("a\0b", 3));
  EXPECT_EQ(FoldRegistryName("\xF0\x9F\x98\x80Z"), "\xF0\x9F\x98\x80z");
}

}  // namespace
