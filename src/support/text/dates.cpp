// The date pattern language: formatting dates into requests and finding
// dates in result pages, descriptors and result-set files.

#include "support/text/dates.h"

#include <sys/stat.h>

#include <array>
#include <string>

#include "support/text/case_folding.h"
#include "support/text/integer_text.h"
#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"

namespace trawler::text {
namespace {

constexpr std::array<std::string_view, 12> kMonthAbbreviations = {
    "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string TwoDigits(int value) {
  std::string s = std::to_string(value);
  return s.size() < 2 ? "0" + s : s;
}

// Byte length of the character at s[i]; a stray byte counts as one.
std::size_t CharLengthAt(std::string_view s, std::size_t i) {
  const std::size_t n = DecodeUtf8(s, i).length;
  return n == 0 ? 1 : n;
}

// The end of a match of mask at text[pos], "?" standing for any one
// character and every other character for itself; npos when it does not fit.
std::size_t WildMatchEnd(std::string_view text, std::size_t pos, std::string_view mask) {
  std::size_t t = pos;
  for (std::size_t m = 0; m < mask.size();) {
    if (t >= text.size()) return std::string_view::npos;
    if (mask[m] == '?') {
      t += CharLengthAt(text, t);
      ++m;
    } else {
      if (text[t] != mask[m]) return std::string_view::npos;
      ++t;
      ++m;
    }
  }
  return t;
}

// First match of mask in text at or after from: its start and end.
bool FindWild(std::string_view text, std::string_view mask, std::size_t from, std::size_t& start,
              std::size_t& end) {
  if (mask.empty()) return false;
  for (std::size_t i = from; i < text.size(); i += CharLengthAt(text, i)) {
    std::size_t e = WildMatchEnd(text, i, mask);
    if (e != std::string_view::npos) {
      start = i;
      end = e;
      return true;
    }
  }
  return false;
}

void ReplaceEvery(std::string& s, std::string_view find, std::string_view repl) {
  if (find.empty()) return;
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = s.find(find, from)) != std::string::npos; from = at + find.size()) {
    out.append(s, from, at - from);
    out.append(repl);
  }
  if (from == 0) return;
  out.append(s, from);
  s = std::move(out);
}

// Removes "m%" ignoring case, so a month letter before a name group goes.
void DropMonthLetterBeforeGroup(std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if ((s[i] == 'm' || s[i] == 'M') && i + 1 < s.size() && s[i + 1] == '%') continue;
    out.push_back(s[i]);
  }
  s = std::move(out);
}

struct DateParts {
  int Day = 0;
  int Month = 0;
  int Year = 0;
};

// Gives a field's value to day, month or year. The field's letters decide:
// "d" is the day, else "m" the month (by number, or by its place in the
// field's own list of names), else "y" the year.
void AssignField(std::string_view field, std::string_view monthList, std::string_view value,
                 DateParts& parts) {
  std::string letters;
  for (char c : field) letters.push_back(AsciiLower(c));
  if (letters.find('d') != std::string::npos) {
    parts.Day = IntOfText(value, 0);
  } else if (letters.find('m') != std::string::npos) {
    if (monthList.empty()) {
      parts.Month = IntOfText(value, 0);
    } else {
      const int at = PosWild(monthList, value, -1);  // 1-based, 0 = none
      if (at == 0) {
        parts.Month = 0;
      } else {
        int commas = 0;
        for (int i = 0; i < at - 1; ++i)
          if (monthList[static_cast<std::size_t>(i)] == ',') ++commas;
        parts.Month = 1 + commas;
      }
    }
  } else if (letters.find('y') != std::string::npos) {
    parts.Year = IntOfText(value, 0);
  }
}

// Splits "m(jan,feb)" into the field "m" and its name list "jan,feb".
void SplitField(std::string_view raw, std::string_view& field, std::string_view& monthList) {
  field = raw;
  monthList = {};
  const std::size_t open = raw.find('(');
  if (open == std::string_view::npos) return;
  field = raw.substr(0, open);
  const std::size_t close = raw.find(')', open + 1);
  monthList = raw.substr(open + 1, close == std::string_view::npos ? std::string_view::npos
                                                                   : close - open - 1);
}

}  // namespace

std::string FormatDateByPattern(std::string_view pattern, TDateTime date) {
  if (date == 0) return {};
  const CalendarDateTime f = DecodeDateTime(date);
  std::string out;
  for (std::size_t i = 0; i < pattern.size();) {
    const std::size_t len = CharLengthAt(pattern, i);
    const std::string_view ch = pattern.substr(i, len);
    // A run is the same character repeated; ASCII letters match either case.
    std::size_t run = 1;
    std::size_t j = i + len;
    while (j < pattern.size()) {
      const std::size_t l2 = CharLengthAt(pattern, j);
      const std::string_view next = pattern.substr(j, l2);
      const bool same = len == 1 && l2 == 1 ? AsciiLower(ch[0]) == AsciiLower(next[0]) : ch == next;
      if (!same) break;
      ++run;
      j += l2;
    }
    const char letter = len == 1 ? AsciiLower(ch[0]) : '\0';
    if (letter == 'd') {
      out += TwoDigits(f.Day);
    } else if (letter == 'm') {
      out += TwoDigits(f.Month);
    } else if (letter == 'y') {
      out += run == 2 ? TwoDigits(f.Year % 100) : std::to_string(f.Year);
    } else {
      out += UpperText(ch);
    }
    i = j;
  }
  return out;
}

std::string FormatDateShort(TDateTime date) {
  const CalendarDateTime f = DecodeDateTime(date);
  if (f.Month < 1 || f.Month > 12) return {};
  return std::to_string(f.Day) + " " + std::string(kMonthAbbreviations[f.Month - 1]) + " " +
         std::to_string(f.Year);
}

TDateTime ParseDateFields(std::string_view candidate, std::string_view pattern) {
  DateParts parts;
  std::string_view rest = candidate;
  std::string_view separator;
  std::string_view remaining = pattern;
  while (remaining.find('|') != std::string_view::npos) {
    const std::size_t bar = remaining.find('|');
    const std::string_view rawField = remaining.substr(0, bar);
    remaining.remove_prefix(bar + 1);
    const std::size_t next = remaining.find('|');
    if (next != std::string_view::npos) {
      separator = remaining.substr(0, next);
      remaining.remove_prefix(next + 1);
    } else {
      remaining = {};
    }
    std::string_view field, monthList;
    SplitField(rawField, field, monthList);
    std::size_t start = 0, end = 0;
    std::string_view value;
    if (FindWild(rest, separator, 0, start, end)) {
      value = rest.substr(0, start);
      rest.remove_prefix(end);
    } else {
      value = rest;
      rest = {};
    }
    AssignField(field, monthList, value, parts);
  }
  const std::string_view last = TrimBlanks(rest);
  if (!last.empty()) {
    std::string_view field, monthList;
    SplitField(remaining, field, monthList);
    AssignField(field, monthList, LowerText(last), parts);
  }

  if (parts.Month > 12) parts.Month = 0;
  if (parts.Day > 31) parts.Day = 0;
  if (parts.Year < 0) return 0;
  if (parts.Year == 0) {
    parts.Year = 2000;
  } else if (parts.Year < 100) {
    // Two-digit years: 00-69 are this century's, 70-99 the last one's.
    parts.Year += parts.Year < 70 ? 2000 : 1900;
  } else if (parts.Year < 1000) {
    parts.Year += 1900;  // years counted from 1900, as some sites print them
  }
  if (parts.Day == 0 || parts.Month == 0) return 0;
  return TryEncodeDate(parts.Year, parts.Month, parts.Day).value_or(0.0);
}

TDateTime ParseDateByPattern(std::string_view text, std::string_view pattern) {
  if (pattern.empty()) return 0;
  std::string p = LowerText(pattern);
  const std::string t = LowerText(text);

  std::string names = "1";
  const std::size_t open = p.find('(');
  if (open != std::string::npos && p.find(')', open + 1) != std::string::npos) {
    const std::size_t close = p.find(')', open + 1);
    names = p.substr(open + 1, close - open - 1);
    std::string replaced;
    std::size_t from = 0;
    for (;;) {
      const std::size_t o = p.find('(', from);
      const std::size_t c = o == std::string::npos ? o : p.find(')', o + 1);
      if (c == std::string::npos) break;
      replaced.append(p, from, o - from);
      replaced += "%t%";
      from = c + 1;
    }
    replaced.append(p, from);
    p = std::move(replaced);
    DropMonthLetterBeforeGroup(p);
  }

  std::array<std::string, 4> masks = {p, p, p, p};
  ReplaceEvery(masks[1], "mm", "m");
  ReplaceEvery(masks[2], "dd", "d");
  ReplaceEvery(masks[3], "mm", "m");
  ReplaceEvery(masks[3], "dd", "d");
  for (std::string& mask : masks) {
    std::string out;
    for (char c : mask) {
      const char l = AsciiLower(c);
      if (l == 'd' || l == 'm' || l == 'y') out.push_back('?');
      else if (c != '|') out.push_back(c);
    }
    mask = std::move(out);
  }

  std::string_view list = names;
  for (;;) {
    const std::size_t comma = list.find(',');
    const std::string_view name = list.substr(0, comma);
    for (const std::string& baseMask : masks) {
      std::string mask = baseMask;
      ReplaceEvery(mask, "%t%", name);
      std::size_t start = 0, end = 0;
      for (std::size_t from = 0; FindWild(t, mask, from, start, end);
           from = start + CharLengthAt(t, start)) {
        const std::string_view found = TrimBlanks(std::string_view(t).substr(start, end - start));
        const TDateTime date = ParseDateFields(found, pattern);
        if (date != 0) return date;
      }
    }
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return 0;
}

TDateTime FileDateTime(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return 0;
  return LocalDateTimeFromUnix(st.st_mtime);
}

}  // namespace trawler::text
