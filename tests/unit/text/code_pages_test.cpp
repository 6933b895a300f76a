#include "support/text/code_pages.h"

#include <gtest/gtest.h>

#include <string>

#include "support/text/utf8.h"
#include "text_globals_guard.h"

namespace trawler::text {
namespace {

using testing::TextGlobalsGuard;

constexpr CodePage kSingleBytePages[] = {CodePage::kWindows1251, CodePage::kWindows1252,
                                         CodePage::kKoi8R, CodePage::kCp866};

std::string Byte(int value) { return std::string(1, static_cast<char>(value)); }

TEST(CodePages, DecodeAndEncodeKnownCharacters) {
  struct Case {
    std::string bytes;
    CodePage page;
    std::string text;
  };
  const Case cases[] = {
      {"\xC1", CodePage::kKoi8R, "а"},
      {"\xE0", CodePage::kWindows1251, "а"},
      {"\xA0", CodePage::kCp866, "а"},
      {"\xE9", CodePage::kWindows1252, "é"},
      {"\x80", CodePage::kWindows1252, "€"},
      {"\xA3\xB3", CodePage::kKoi8R, "ёЁ"},
      {"\xF2\xF3", CodePage::kCp866, "Єє"},
      {"\xAF\xBF", CodePage::kWindows1251, "Її"},
      {"plain", CodePage::kKoi8R, "plain"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecodeFromCodePage(c.bytes, c.page), c.text) << c.text;
    EXPECT_EQ(EncodeToCodePage(c.text, c.page), c.bytes) << c.text;
  }
}

TEST(CodePages, EveryDefinedByteSurvivesTheRoundTrip) {
  for (const CodePage page : kSingleBytePages) {
    for (int byte = 0; byte < 256; ++byte) {
      const std::string text = DecodeFromCodePage(Byte(byte), page);
      ASSERT_TRUE(IsValidUtf8(text));
      EXPECT_EQ(EncodeToCodePage(text, page), Byte(byte)) << "byte " << byte;
    }
  }
}

TEST(CodePages, UnmappableCharactersBecomeQuestionMarks) {
  EXPECT_EQ(EncodeToCodePage("日本 é", CodePage::kWindows1251), "?? ?");
  EXPECT_EQ(EncodeToCodePage("a\xFF" "b", CodePage::kKoi8R), "a?b");
  EXPECT_EQ(EncodeToCodePage("Жщ€", CodePage::kWindows1252), "??\x80");
  EXPECT_EQ(EncodeToCodePage("日", CodePage::kKoi8R, "%3F"), "%3F");
  EXPECT_EQ(DecodeFromCodePage("\x98", CodePage::kWindows1251), "\u0098");  // undefined: kept as C1
  EXPECT_EQ(DecodeFromCodePage("a\xFF", CodePage::kUtf8), "a\xEF\xBF\xBD");
}

TEST(CodePages, LabelsAndLocales) {
  struct LabelCase {
    std::string label;
    std::optional<CodePage> page;
  };
  const LabelCase labels[] = {
      {"KOI8-R", CodePage::kKoi8R},        {" \"windows-1251\" ", CodePage::kWindows1251},
      {"cp1251", CodePage::kWindows1251},  {"ISO-8859-1", CodePage::kWindows1252},
      {"utf-8", CodePage::kUtf8},          {"UTF8", CodePage::kUtf8},
      {"ibm866", CodePage::kCp866},        {"x-unknown", std::nullopt},
      {"", std::nullopt},
  };
  for (const LabelCase& c : labels) EXPECT_EQ(CodePageFromLabel(c.label), c.page) << c.label;

  const std::pair<std::string, CodePage> locales[] = {
      {"ru_RU.UTF-8", CodePage::kWindows1251}, {"uk_UA", CodePage::kWindows1251},
      {"be_BY.utf8", CodePage::kWindows1251},  {"bg", CodePage::kWindows1251},
      {"en_US.UTF-8", CodePage::kWindows1252}, {"sr_RS@latin", CodePage::kWindows1252},
      {"C", CodePage::kWindows1252},           {"", CodePage::kWindows1252},
      {"rus", CodePage::kWindows1252},
  };
  for (const auto& [locale, page] : locales) EXPECT_EQ(LegacyCodePageForLocale(locale), page) << locale;
}

TEST(CodePages, LegacyDecodingAppliesOnlyToTextThatIsNotUtf8) {
  TextGlobalsGuard guard;
  SetLegacyCodePage(CodePage::kWindows1251);
  EXPECT_EQ(DecodeUtf8OrLegacy("\xCF\xF0\xE8"), "При");
  EXPECT_EQ(DecodeUtf8OrLegacy("Привет"), "Привет");
  EXPECT_EQ(DecodeUtf8OrLegacy("\xEF\xBB\xBF" "abc"), "abc");
  EXPECT_EQ(EncodeLegacy("Ж"), "\xC6");
  SetLegacyCodePage(CodePage::kWindows1252);
  EXPECT_EQ(DecodeUtf8OrLegacy("caf\xE9"), "café");
  SetLegacyCodePage(CodePage::kUtf8);  // not a legacy page
  EXPECT_EQ(LegacyCodePage(), CodePage::kWindows1252);
}

TEST(ConvertByTable, TablesHaveTheirClassicLengths) {
  EXPECT_EQ(KoiToWinTable.size(), 127u);
  EXPECT_EQ(DosToWinTable.size(), 128u);
  EXPECT_EQ(WinToKoiTable.size(), 128u);
}

TEST(ConvertByTable, RepairsCyrillicReadInTheWrongCodePage) {
  const std::string words[] = {"Привет, мир", "Щука ёж Ёлка", "ЭЮЯ эюя"};
  for (const std::string& word : words) {
    const std::string koi_read_as_win =
        DecodeFromCodePage(EncodeToCodePage(word, CodePage::kKoi8R), CodePage::kWindows1251);
    EXPECT_NE(koi_read_as_win, word);
    EXPECT_EQ(ConvertByTable(koi_read_as_win, KoiToWinTable), word);
    const std::string dos_read_as_win =
        DecodeFromCodePage(EncodeToCodePage(word, CodePage::kCp866), CodePage::kWindows1251);
    EXPECT_EQ(ConvertByTable(dos_read_as_win, DosToWinTable), word);
  }
}

TEST(ConvertByTable, AgreesWithTheCodecsOnEveryCyrillicLetter) {
  for (int byte = 0x80; byte < 0x100; ++byte) {
    const std::string win_char = DecodeFromCodePage(Byte(byte), CodePage::kWindows1251);
    const std::string koi_char = DecodeFromCodePage(Byte(byte), CodePage::kKoi8R);
    const bool koi_letter = byte >= 0xC0 || byte == 0xA3 || byte == 0xB3;
    if (koi_letter) {
      EXPECT_EQ(ConvertByTable(win_char, KoiToWinTable), koi_char) << "KOI8-R " << byte;
    }
    const std::string dos_char = DecodeFromCodePage(Byte(byte), CodePage::kCp866);
    const bool dos_letter = byte <= 0xAF || (byte >= 0xE0 && byte <= 0xF1);
    if (dos_letter) {
      EXPECT_EQ(ConvertByTable(win_char, DosToWinTable), dos_char) << "cp866 " << byte;
    }
  }
  // Windows-1251 letters to KOI8-R bytes, seen through Windows-1251: "а" is KOI8-R 0xC1,
  // which Windows-1251 shows as "Б".
  EXPECT_EQ(ConvertByTable("а", WinToKoiTable), "Б");
  EXPECT_EQ(EncodeToCodePage(ConvertByTable("Привет", WinToKoiTable), CodePage::kWindows1251),
            EncodeToCodePage("Привет", CodePage::kKoi8R));
}

TEST(ConvertByTable, LeavesOtherCharactersAndFillsGaps) {
  EXPECT_EQ(ConvertByTable("Ђ abc 日本", KoiToWinTable), "Ђ abc 日本");  // 0x80 and non-1251 copied
  EXPECT_EQ(ConvertByTable("°", DosToWinTable), "\x7F");              // pseudo-graphics
  EXPECT_EQ(ConvertByTable("†", WinToKoiTable), std::string(1, '\0'));  // no counterpart
  EXPECT_EQ(ConvertByTable("a\xFF", KoiToWinTable), "a\xFF");
  EXPECT_EQ(ConvertByTable("Привет", ""), "Привет");
}

TEST(Transliterate, SpellsCyrillicInLatinLetters) {
  const std::pair<std::string, std::string> cases[] = {
      {"Щука", "Shchuka"},     {"Ёж и ёлка", "Yozh i yolka"}, {"Жук", "ZHuk"},
      {"Їжак Єва", "Yizhak Eva"}, {"Съешь", "S~esh'"},       {"Эхо", "E'xo"},
      {"Юля Яна", "Julja Jana"},  {"Хаос Цирк Чай", "Xaos Cirk Chaj"},
      {"Hello, мир!", "Hello, mir!"}, {"Ђ і 日本", "Ђ і 日本"}, {"a\xFF", "a\xFF"},
  };
  for (const auto& [input, expected] : cases) EXPECT_EQ(Transliterate(input), expected) << input;
}

}  // namespace
}  // namespace trawler::text
