#include "results/check_answer.h"

#include <cctype>

#include "platform/http_text.h"
#include "support/text/case_folding.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"
#include "support/text/url.h"

namespace trawler::results {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The value of the first header line after the status line whose name is
// `name` ignoring case: the text after the colon, as it stands. A name that
// merely contains the wanted one ("X-Content-Type-Options") is another header.
std::optional<std::string_view> RawHeader(const std::vector<std::string>& lines,
                                          std::string_view name) {
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (text::SameTextIgnoreCase(text::TrimBlanks(line.substr(0, colon)), name))
      return line.substr(colon + 1);
  }
  return std::nullopt;
}

// Digits at text[at, at + count); advances at. -1 when not all are digits.
int ReadDigits(std::string_view text, std::size_t& at, std::size_t count) {
  if (at + count > text.size()) return -1;
  int value = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const char c = text[at + i];
    if (c < '0' || c > '9') return -1;
    value = value * 10 + (c - '0');
  }
  at += count;
  return value;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

void SkipBlanks(std::string_view text, std::size_t& at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
}

// The status code of a status line: the word after the first blank, as a
// number (0 when it is not one).
std::string StatusCodeText(const std::string& statusLine, int statusCode) {
  const std::size_t space = statusLine.find(' ');
  if (space == std::string::npos) return std::to_string(statusCode);
  std::string_view rest = text::TrimBlanks(std::string_view(statusLine).substr(space + 1));
  rest = text::TrimBlanks(rest.substr(0, rest.find(' ')));
  return std::to_string(text::IntOfText(rest, 0));
}

// A UTC date-time as the local time of the same moment.
text::TDateTime UtcToLocal(text::TDateTime utc) {
  return text::LocalDateTimeFromUnix(text::UnixUtcFromDateTime(utc));
}

}  // namespace

std::optional<text::TDateTime> ParseHttpDate(std::string_view value) {
  static constexpr std::string_view kMonths = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const std::string_view date = text::TrimBlanks(value);
  // The day of the week is not checked; it only has to end in a comma.
  std::size_t at = date.find(',');
  if (at == std::string_view::npos || at > 9) return std::nullopt;
  ++at;
  SkipBlanks(date, at);
  text::CalendarDateTime fields;
  std::size_t dayDigits = 0;
  while (at + dayDigits < date.size() && dayDigits < 2 &&
         std::isdigit(static_cast<unsigned char>(date[at + dayDigits])))
    ++dayDigits;
  if (dayDigits == 0) return std::nullopt;
  fields.Day = ReadDigits(date, at, dayDigits);
  if (!Expect(date, at, ' ') || at + 3 > date.size()) return std::nullopt;
  const std::size_t month = kMonths.find(date.substr(at, 3));
  if (month == std::string_view::npos || month % 3 != 0) return std::nullopt;
  fields.Month = static_cast<int>(month / 3) + 1;
  at += 3;
  if (!Expect(date, at, ' ')) return std::nullopt;
  fields.Year = ReadDigits(date, at, 4);
  if (fields.Year < 0 || !Expect(date, at, ' ')) return std::nullopt;
  fields.Hour = ReadDigits(date, at, 2);
  if (fields.Hour < 0 || !Expect(date, at, ':')) return std::nullopt;
  fields.Minute = ReadDigits(date, at, 2);
  if (fields.Minute < 0 || !Expect(date, at, ':')) return std::nullopt;
  fields.Second = ReadDigits(date, at, 2);
  if (fields.Second < 0) return std::nullopt;
  // What follows the time ("GMT") is the zone, which HTTP fixes to UTC.
  return text::TryEncodeDateTime(fields);
}

void ReadCheckAnswer(const std::vector<std::string>& lines, int statusCode,
                     const std::string& checkedUrl, tBotResult& out) {
  if (lines.empty()) return;
  out.Reason = lines.front();
  out.Code = StatusCodeText(out.Reason, statusCode);
  const int code = text::IntOfText(out.Code, 0);

  if (code >= 200 && code <= 399) {
    if (auto value = RawHeader(lines, "Last-Modified")) {
      if (auto utc = ParseHttpDate(*value)) out.Date = UtcToLocal(*utc);
    }
  }
  if (auto value = RawHeader(lines, "Server")) out.Server = std::string(*value);
  if (auto value = RawHeader(lines, "Accept-Ranges"))
    out.Size = " " + std::string(text::TrimBlanks(*value));
  if (code == 301) {
    if (auto value = RawHeader(lines, "Location")) {
      // The HTTP client strips control bytes from what it receives; lines
      // from elsewhere get the same treatment before one becomes an address.
      const std::string location(
          text::TrimBlanks(platform::http_text::StripControlBytes(*value)));
      // A relative target names a page of the checked site; the result list
      // must get an address it can open.
      if (!location.empty())
        out.Location = text::UrlScheme(location).empty()
                           ? platform::http_text::ResolveLocation(checkedUrl, location)
                           : location;
    }
  }
  if (auto value = RawHeader(lines, "Content-Length"))
    out.Size = std::string(text::TrimBlanks(*value)) + out.Size;
  if (auto value = RawHeader(lines, "Content-Type")) out.ContentType = std::string(*value);
}

}  // namespace trawler::results
