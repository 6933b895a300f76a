#include "support/text/regex_match.h"

#include <gtest/gtest.h>

#include <string>

namespace trawler::text {
namespace {

TEST(TextMatchesRegex, IgnoresCaseAndFallsBackToPlainText) {
  struct Case {
    std::string text;
    std::string expression;
    bool expected;
  };
  const Case cases[] = {
      {"Hello", "hello", true},
      {"Привет", "привет", true},          // letters beyond ASCII fold too
      {"ABC", "(?-i)abc", false},          // an inline modifier turns case back on
      {"a\nb", "a.b", true},               // "." takes line breaks
      {"a\r\nb", "^a..b$", true},
      {"x &amp; y", "x & y", true},        // matched on HtmlToText of the text
      {"<b>to</b>tal", "to total", false},
      {"<b>to</b>tal", "^to tal$", true},
      {"a\xFF" "b", "b$", true},           // broken bytes in the text are tolerated
      {"abab", "(ab)\\1", true},
      {"see http://www.example.com/a?b&c here",
       "(?i)http://[_a-zA-Z/\\d\\-]+(\\.[_a-zA-Z?&-/\\d\\-]+)+", true},
      {"ftp://files.example.org/x.mp3", "(?i)(http://|ftp://)[_a-zA-Z/\\d\\-]+(\\.[_a-zA-Z/\\d\\-]+)+(\\.mid|\\.mp3|\\.wav)", true},
      {"tab\there", "\\x09", true},
      {"comment", "com(?#note)ment", true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextMatchesRegex(c.text, c.expression), c.expected) << c.text << " ~ " << c.expression;
  }
}

TEST(CompiledRegex, DialectKeepsAsciiClassesAndWholeTextAnchors) {
  struct Case {
    std::string text;
    std::string expression;
    bool expected;
  };
  const Case cases[] = {
      {"é", "^\\w$", false},       // word characters are ASCII
      {"_9z", "^\\w+$", true},
      {"٣", "\\d", false},         // and so are digits
      {"abc\n", "abc$", false},    // "$" is the very end, not before a final line break
      {"abc\n", "abc\\Z", true},
      {"x\nabc", "^abc", false},   // "^" is the very start
      {"Abc", "abc", false},       // without a modifier case counts
  };
  for (const Case& c : cases) {
    RegexError error;
    const auto regex = CompiledRegex::Get(c.expression, false, &error);
    ASSERT_TRUE(regex) << c.expression << ": " << error.message;
    EXPECT_EQ(regex->Find(c.text, 0, nullptr, nullptr) == RegexOutcome::kMatch, c.expected)
        << c.text << " ~ " << c.expression;
  }
}

TEST(CompiledRegex, ReportsGroupsAndSearchesFromAnOffset) {
  const auto regex = CompiledRegex::Get("(\\d+)(x)?", false, nullptr);
  ASSERT_TRUE(regex);
  EXPECT_EQ(regex->group_count(), 2u);
  RegexMatch match;
  ASSERT_EQ(regex->Find("a=12;b=345", 0, &match, nullptr), RegexOutcome::kMatch);
  EXPECT_EQ(match.groups[0], (std::pair<std::size_t, std::size_t>{2, 4}));
  EXPECT_EQ(match.groups[1], (std::pair<std::size_t, std::size_t>{2, 4}));
  EXPECT_EQ(match.groups[2].first, std::string::npos);
  ASSERT_EQ(regex->Find("a=12;b=345", 4, &match, nullptr), RegexOutcome::kMatch);
  EXPECT_EQ(match.begin(), 7u);
  EXPECT_EQ(match.end(), 10u);
  EXPECT_EQ(regex->Find("a=12", 99, &match, nullptr), RegexOutcome::kNoMatch);
  // The same expression and options come from the cache.
  EXPECT_EQ(CompiledRegex::Get("(\\d+)(x)?", false, nullptr), regex);
  EXPECT_NE(CompiledRegex::Get("(\\d+)(x)?", true, nullptr), regex);
}

TEST(CompiledRegex, MalformedExpressionsFailWithTheEnginesMessage) {
  const std::string malformed[] = {"(", "a{2,1}", "[z-a]", "\\", "(?<", "a)"};
  for (const std::string& expression : malformed) {
    RegexError error;
    EXPECT_EQ(CompiledRegex::Get(expression, false, &error), nullptr) << expression;
    EXPECT_FALSE(error.message.empty()) << expression;
    EXPECT_LE(error.offset, expression.size()) << expression;
    RegexError through_text;
    EXPECT_FALSE(TextMatchesRegex("anything (", expression, &through_text));
    EXPECT_EQ(through_text.message, error.message);
  }
}

TEST(CompiledRegex, RunawayBacktrackingEndsWithAnError) {
  const std::string text = std::string(40, 'a') + "b";
  RegexError error;
  const auto regex = CompiledRegex::Get("^(a|aa)+$", false, &error);
  ASSERT_TRUE(regex) << error.message;
  EXPECT_EQ(regex->Find(text, 0, nullptr, &error), RegexOutcome::kError);
  EXPECT_FALSE(error.message.empty());
  EXPECT_FALSE(TextMatchesRegex(text, "^(a|aa)+$"));
}

}  // namespace
}  // namespace trawler::text
