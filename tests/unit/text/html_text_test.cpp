#include "support/text/html_text.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/text/integer_text.h"
#include "support/text/numeric_references.h"
#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"
#include "text_globals_guard.h"

namespace trawler::text {
namespace {

using testing::TextGlobalsGuard;

struct Conversion {
  std::string input;
  std::string expected;
};

TEST(HtmlToText, DecodesEntitiesCollapsesTagsAndReferences) {
  TextGlobalsGuard guard;
  const Conversion cases[] = {
      {"a&nbsp;<b>b</b>&#65;&#x42;", "a b AB"},
      // Numeric references name Unicode characters. The single-byte rule would give
      // "x 8217 y" and "255" here; UTF-8 text can hold the real characters.
      {"x &#8217; y", "x ’ y"},
      {"&#255;", "ÿ"},
      {"&#x1F600;!", "😀!"},
      {"&#150;", "–"},                 // 128..159 read as Windows-1252, as browsers do
      {"&#abc;", "abc"},               // not a number: its text stays
      {"&#0;", "0"},
      {"&#55296;", "55296"},           // a surrogate is no character
      {"&#1114112;", "1114112"},
      {"&#38;#65;", "A"},              // a decoded "&" starts a new reference
      {"&&#35;66;", "B"},              // so does a decoded "#"
      {"&#;", ""},
      // "&amp;" is decoded after "&lt;": the result keeps the entity.
      {"&amp;lt;", "&lt;"},
      {"&AMP;amp;", "&amp;"},
      {"&COPY; 2001", "© 2001"},       // the single-byte rule gave byte 0xA9
      {"a&MiddoT;b", "a·b"},
      {"&quot;q&quot; &LT;x", "\"q\" <x"},
      {"a &lt;b&gt; c", "a c"},         // decoded brackets form a tag, which goes
      {"a%20b%2520c", "a b c"},
      {"%3Fq%3Dx%26y%2Fz", "?q=x&y/z"},
      {"a#$Ab", "ab"},
      {"line1<BR>line2<dd>x</DD>y", "line1 line2 x y"},
      {"  a  <i> b </i>  c  ", "a b c"},
      {"<p>x</p>", "x"},
      {"<a><b>", ""},
      {"a < b", "a < b"},             // a "<" with no ">" after it stays
      {"a > b <c", "a > b <c"},
      {"x<y>z<w", "x z<w"},
      {"a\r\nb\tc\nd\re", "abcd\re"},
      {"a&#10;&#10;b", "a\r\nb"},
      {"<b>日本</b>語", "日本 語"},
      {"<td>Привет,&nbsp;мир</td>", "Привет, мир"},
  };
  for (const Conversion& c : cases) EXPECT_EQ(HtmlToText(c.input), c.expected) << c.input;
}

TEST(HtmlToText, BrokenBytesPassThroughAndValidInputStaysValid) {
  TextGlobalsGuard guard;
  EXPECT_EQ(HtmlToText("a\xFF<b>c"), "a\xFF c");
  EXPECT_EQ(HtmlToText("\xE6\x97<"), "\xE6\x97<");
  const std::string valid[] = {"<i>日本語</i>&#26085;", "Ж&#1046;%20ж", "&#x10FFFF;&#xD800;"};
  for (const std::string& input : valid) EXPECT_TRUE(IsValidUtf8(HtmlToText(input))) << input;
}

// The step-by-step procedure the linear conversion must reproduce: repeated searches from
// the start of the text, as slow as it is obvious.
std::string NaiveTags(std::string text) {
  auto rest_after_first_lt = [&] { return std::string(TrimBlanks(text.substr(text.find('<') + 1))); };
  std::string r = text.find('<') == std::string::npos ? std::string() : rest_after_first_lt();
  while (text.find('<') != std::string::npos && r.find('>') != std::string::npos) {
    const std::string b(TrimBlanksRight(text.substr(0, text.find('<'))));
    const std::string a(TrimBlanksLeft(std::string_view(r).substr(r.find('>') + 1)));
    text = (b.empty() || b.back() == '\n') ? b + a : b + " " + a;
    r = text.find('<') == std::string::npos ? std::string() : rest_after_first_lt();
  }
  return text;
}

std::string NaiveReferences(std::string text) {
  while (true) {
    const std::size_t open = text.find("&#");
    if (open == std::string::npos) break;
    const std::size_t close = text.find(';', open + 2);
    if (close == std::string::npos) break;
    const std::string body = text.substr(open + 2, close - open - 2);
    std::string replacement = body;
    char32_t character = 0;
    if (detail::CharacterForReference(IntOfText(body, -1), &character)) replacement = EncodeUtf8(character);
    text = text.substr(0, open) + replacement + text.substr(close + 1);
  }
  return text;
}

std::string NaiveLineBreaks(std::string text) {
  const std::pair<std::string, std::string> passes[] = {
      {"\r\r", "\r\n"}, {"\n\n", "\r\n"}, {"\r\n\r\n", "\r\n"}, {"\r\n ", "\r\n"}};
  for (const auto& [find, repl] : passes) {
    while (text.find(find) != std::string::npos) ReplaceAll(text, find, repl, false);
  }
  return text;
}

std::string NaiveHtmlToText(std::string_view html) {
  // The literal loops of the tag, reference and line-break steps. The random alphabet below
  // cannot form any of the entities or percent codes, so their passes are left out here.
  std::string text(html);
  ReplaceAll(text, "\r\n", "", false);
  ReplaceAll(text, "\n", "", false);
  ReplaceAll(text, "\t", "", false);
  text = NaiveReferences(NaiveTags(text));
  return NaiveLineBreaks(std::string(TrimBlanks(text)));
}

TEST(HtmlToText, AgreesWithTheStepByStepProcedureOnRandomMarkup) {
  TextGlobalsGuard guard;
  // A small alphabet, so that tags, references and line breaks meet often.
  const std::string alphabet = "<>&#;12x4A \r\n\tb";
  std::mt19937 random(12345);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 20000; ++round) {
    std::string input;
    for (int i = length(random); i > 0; --i) input.push_back(alphabet[pick(random)]);
    ASSERT_EQ(HtmlToText(input), NaiveHtmlToText(input)) << "input: [" << input << "]";
  }
}

TEST(NormalizeLineBreaks, AgreesWithRepeatedReplacement) {
  const Conversion cases[] = {
      {"a\r\rb", "a\r\nb"},
      {"a\n\nb", "a\r\nb"},
      {"a\n\n\nb", "a\r\r\nb"},
      {"a\r\n\r\n\r\nb", "a\r\nb"},
      {"a\r\n   b", "a\r\nb"},
      {"a\nb", "a\nb"},
  };
  for (const Conversion& c : cases) EXPECT_EQ(NormalizeLineBreaks(c.input), c.expected);

  const std::string alphabet = "\r\n a";
  std::mt19937 random(777);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  for (int round = 0; round < 20000; ++round) {
    std::string input;
    for (int i = static_cast<int>(random() % 20); i > 0; --i) input.push_back(alphabet[pick(random)]);
    ASSERT_EQ(NormalizeLineBreaks(input), NaiveLineBreaks(input)) << "input: [" << input << "]";
  }
}

TEST(XmlText, EscapeAndUnescape) {
  EXPECT_EQ(XmlEscape("a&b\"c<d>e'f"), "a&amp;b&quot;c&lt;d&gt;e&apos;f");
  EXPECT_EQ(XmlEscape("Привет &"), "Привет &amp;");
  const Conversion unescapes[] = {
      {"a&amp;b&quot;c&lt;d&gt;e&apos;f", "a&b\"c<d>e'f"},
      {"&amp;lt;", "&lt;"},  // "&amp;" last
      {"&AMP;&Quot;&LT;", "&\"<"},
      {"&nbsp;&amp", "&nbsp;&amp"},
  };
  for (const Conversion& c : unescapes) EXPECT_EQ(XmlUnescape(c.input), c.expected) << c.input;
  for (const std::string text : {"&amp;lt;&quot;", "<a href='x'>\"</a>", "日本 & 語"}) {
    EXPECT_EQ(XmlUnescape(XmlEscape(text)), text);
  }
}

TEST(HighlightWords, BoldsLongWordsOutsideTags) {
  TextGlobalsGuard guard;
  struct Case {
    std::string html;
    std::string words;
    std::string expected;
  };
  const Case cases[] = {
      {"<a href=\"test\">a test here</a>", "test", "<a href=\"test\">a <b>test</b> here</a>"},
      {"Test and TEST", "test", "<b>test</b> and <b>test</b>"},  // the word as typed
      {"the cat", "cat", "the cat"},                              // three letters or fewer
      {"да нет", "да", "да нет"},                                 // counted in characters
      {"привет мира", "Мира", "привет <b>Мира</b>"},
      {"one four three", "four three", "one <b>four</b> <b>three</b>"},
      {"<b", "bold", "<b"},
  };
  for (const Case& c : cases) EXPECT_EQ(HighlightWords(c.html, c.words), c.expected) << c.html;
}

}  // namespace
}  // namespace trawler::text
