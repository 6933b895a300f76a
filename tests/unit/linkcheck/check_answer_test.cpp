#include "results/check_answer.h"

#include <gtest/gtest.h>

#include "fixed_zone.h"
#include "support/text/dates.h"

namespace trawler::results {
namespace {

constexpr double kHalfSecond = 0.5 / 86400;

text::TDateTime At(int year, int month, int day, int hour, int minute, int second) {
  text::CalendarDateTime fields;
  fields.Year = year;
  fields.Month = month;
  fields.Day = day;
  fields.Hour = hour;
  fields.Minute = minute;
  fields.Second = second;
  return *text::TryEncodeDateTime(fields);
}

TEST(ParseHttpDate, ReadsTheFixedFormOnly) {
  struct Case {
    const char* text;
    text::TDateTime expected;  // 0: no date
  } cases[] = {
      {"Sun, 06 Nov 1994 08:49:37 GMT", At(1994, 11, 6, 8, 49, 37)},
      {"  Tue, 14 Nov 2023 22:13:20 GMT  ", At(2023, 11, 14, 22, 13, 20)},
      {"Sun, 6 Nov 1994 08:49:37 GMT", At(1994, 11, 6, 8, 49, 37)},
      {"Sun, 06 nov 1994 08:49:37 GMT", 0},  // month names keep their case
      {"Sun, 31 Feb 1994 08:49:37 GMT", 0},
      {"Sun, 06 Nov 1994 25:49:37 GMT", 0},
      {"Sunday, 06-Nov-94 08:49:37 GMT", 0},
      {"Sun Nov  6 08:49:37 1994", 0},
      {"Sun, 06 Nov 1994", 0},
      {"", 0},
      {",", 0},
  };
  for (const Case& c : cases) {
    const auto parsed = ParseHttpDate(c.text);
    EXPECT_EQ(parsed.value_or(0), c.expected) << c.text;
  }
}

std::vector<std::string> Answer(std::initializer_list<const char*> lines) {
  return std::vector<std::string>(lines.begin(), lines.end());
}

TEST(ReadCheckAnswer, TakesCodeReasonAndHeaders) {
  FixedZone zone;
  struct Case {
    const char* name;
    std::vector<std::string> lines;
    int clientStatus;
    tBotResult expected;
  } cases[] = {
      {"404",
       Answer({"HTTP/1.1 404 Not Found", "Server: nginx", "Content-Type: text/html"}),
       404,
       {"", "404", "HTTP/1.1 404 Not Found", " nginx", " text/html", "", "", 0}},
      {"sizes: length followed by ranges whatever the order of the lines",
       Answer({"HTTP/1.1 200 OK", "Accept-Ranges:  bytes ", "Content-Length: 512"}),
       200,
       {"", "200", "HTTP/1.1 200 OK", "", "", "", "512 bytes", 0}},
      {"size without ranges", Answer({"HTTP/1.1 200 OK", "Content-Length: 512"}), 200,
       {"", "200", "HTTP/1.1 200 OK", "", "", "", "512", 0}},
      {"ranges without length", Answer({"HTTP/1.1 200 OK", "Accept-Ranges: bytes"}), 200,
       {"", "200", "HTTP/1.1 200 OK", "", "", "", " bytes", 0}},
      {"names match whole and ignoring case, first line wins",
       Answer({"HTTP/1.1 200 OK", "X-Content-Type-Options: nosniff", "X-Server: no",
               "content-TYPE: text/plain", "Content-Type: text/html", "SERVER: real"}),
       200,
       {"", "200", "HTTP/1.1 200 OK", " real", " text/plain", "", "", 0}},
      {"Last-Modified taken on 2xx, in local time (zone nine hours east)",
       Answer({"HTTP/1.1 200 OK", "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT"}), 200,
       {"", "200", "HTTP/1.1 200 OK", "", "", "", "", At(1994, 11, 6, 17, 49, 37)}},
      {"Last-Modified taken on 3xx",
       Answer({"HTTP/1.1 304 Not Modified", "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT"}),
       304,
       {"", "304", "HTTP/1.1 304 Not Modified", "", "", "", "", At(1994, 11, 6, 17, 49, 37)}},
      {"Last-Modified not taken on 404",
       Answer({"HTTP/1.1 404 Not Found", "Last-Modified: Sun, 06 Nov 1994 08:49:37 GMT"}), 404,
       {"", "404", "HTTP/1.1 404 Not Found", "", "", "", "", 0}},
      {"301: relative Location resolved; Content-Location is another header",
       Answer({"HTTP/1.1 301 Moved Permanently", "Content-Location: /other",
               "location:  /doc/x "}),
       301,
       {"", "301", "HTTP/1.1 301 Moved Permanently", "", "", "http://h.example/doc/x", "", 0}},
      {"301: absolute Location kept as it stands",
       Answer({"HTTP/1.1 301 Moved", "Location: https://Other.example/a?b=1"}), 301,
       {"", "301", "HTTP/1.1 301 Moved", "", "", "https://Other.example/a?b=1", "", 0}},
      {"301: control bytes never reach the address",
       Answer({"HTTP/1.1 301 Moved", "Location: /doc/\r\nx\x01y"}), 301,
       {"", "301", "HTTP/1.1 301 Moved", "", "", "http://h.example/doc/xy", "", 0}},
      {"302: Location ignored", Answer({"HTTP/1.1 302 Found", "Location: /doc/x"}), 302,
       {"", "302", "HTTP/1.1 302 Found", "", "", "", "", 0}},
      {"status line without a blank: the client's code",
       Answer({"HTTP/1.1"}), 203, {"", "203", "HTTP/1.1", "", "", "", "", 0}},
      {"status code that is no number", Answer({"HTTP/1.1 abc def"}), 200,
       {"", "0", "HTTP/1.1 abc def", "", "", "", "", 0}},
      {"HTTP/2 status line", Answer({"HTTP/2 200"}), 200, {"", "200", "HTTP/2 200", "", "", "", "", 0}},
      {"lines without a colon are passed over",
       Answer({"HTTP/1.1 200 OK", "Server", "garbage line", "Server:x"}), 200,
       {"", "200", "HTTP/1.1 200 OK", "x", "", "", "", 0}},
  };
  for (const Case& c : cases) {
    tBotResult out;
    ReadCheckAnswer(c.lines, c.clientStatus, "http://h.example/moved/x", out);
    EXPECT_EQ(out.Code, c.expected.Code) << c.name;
    EXPECT_EQ(out.Reason, c.expected.Reason) << c.name;
    EXPECT_EQ(out.Server, c.expected.Server) << c.name;
    EXPECT_EQ(out.ContentType, c.expected.ContentType) << c.name;
    EXPECT_EQ(out.Location, c.expected.Location) << c.name;
    EXPECT_EQ(out.Size, c.expected.Size) << c.name;
    EXPECT_NEAR(out.Date, c.expected.Date, kHalfSecond) << c.name;
  }
}

}  // namespace
}  // namespace trawler::results
