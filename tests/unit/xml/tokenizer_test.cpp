#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/xml/xml_tokenizer.h"

namespace {

using trawler::xml::Tokenize;

TEST(Tokenize, TurnsMarkupIntoMarkedTokens) {
  struct Case {
    const char *name;
    std::string input;
    std::vector<std::string> expected;
  } cases[] = {
      {"text around tags is trimmed", "  hello <a>  t  </a> bye  \r\n",
       {"TX:hello", "OT:a", "TX:t", "CT:a", "TX:bye"}},
      {"empty element with and without space", "<b/><c />", {"ET:b", "ET:c "}},
      {"tag spread over lines and tabs", "<a\r\n\tx=\"1\"\r\n>", {"OT:a  x=\"1\""}},
      {"text over lines becomes one line", "one\r\n  two\tthree\r\n", {"TX:one   two three"}},
      {"declaration and comment are opening tags", "<?xml version=\"1.0\"?><!-- c -->",
       {"OT:?xml version=\"1.0\"?", "OT:!-- c --"}},
      {"cdata keeps blanks, escapes breaks and tabs", "<a><![CDATA[ x\r\n\ty ]]></a>",
       {"OT:a", "CD: x\\n \\t y ", "CT:a"}},
      {"cdata marker ignores case", "<![cdata[<b>]]>", {"CD:<b>"}},
      {"cdata without end takes the rest", "<![CDATA[abc\r\n", {"CD:abc\\n "}},
      {"... including the last line's break", "<![CDATA[a\tb", {"CD:a\\t b\\n "}},
      {"every kind of line break in cdata", "<![CDATA[1\n2\r3\r\n\n4]]>", {"CD:1\\n 2\\n 3\\n \\n 4"}},
      {"every kind of line break in text", "a\nb\rc\r\n\nd", {"TX:a b c  d"}},
      {"stray < is dropped and the rest is text", "a < b", {"TX:a", "TX:b"}},
      {"stray < before a real tag", "x<y <z>", {"TX:x", "OT:y <z"}},
      {"closing tag wins over the final slash", "</>", {"CT:"}},
      {"empty tag text", "<>", {"OT:"}},
      {"no markup at all", "just text\r\n", {"TX:just text"}},
      {"blank text makes no token", "<a>  \r\n  </a>", {"OT:a", "CT:a"}},
  };
  for (const Case &c : cases) EXPECT_EQ(Tokenize(c.input), c.expected) << c.name;
}

}  // namespace
