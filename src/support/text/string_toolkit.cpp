#include "support/text/string_toolkit.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "support/text/case_folding.h"
#include "support/text/utf8.h"
#include "support/text/wild_matcher.h"

namespace trawler::text {

namespace {

using detail::WildMatcher;

constexpr TextPos ToPos(std::size_t index) { return static_cast<TextPos>(index) + 1; }

TextPos Length(std::string_view text) { return static_cast<TextPos>(text.size()); }

bool HasWildcard(std::string_view sub) { return sub.find('?') != std::string_view::npos; }

std::vector<char32_t> CharsOf(std::string_view text) {
  std::vector<char32_t> chars;
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    chars.push_back(ch.code);
    at += ch.length;
  }
  return chars;
}

bool Contains(const std::vector<char32_t>& chars, char32_t code) {
  return std::find(chars.begin(), chars.end(), code) != chars.end();
}

// Builds the replaced text from the collected matches in one allocation.
std::string Rebuild(std::string_view text, const std::vector<std::pair<std::size_t, std::size_t>>& matches,
                    std::string_view repl) {
  std::size_t removed = 0;
  for (const auto& match : matches) removed += match.second;
  std::string out;
  out.reserve(text.size() - removed + matches.size() * repl.size());
  std::size_t copied = 0;
  for (const auto& [start, length] : matches) {
    out.append(text.substr(copied, start - copied));
    out.append(repl);
    copied = start + length;
  }
  out.append(text.substr(copied));
  return out;
}

}  // namespace

TextPos PosFrom(std::string_view text, std::string_view sub, TextPos start) {
  if (text.empty() || sub.empty() || start < 1 || start > Length(text)) return 0;
  const std::size_t found = text.find(sub, static_cast<std::size_t>(start - 1));
  return found == std::string_view::npos ? 0 : ToPos(found);
}

TextPos PosWild(std::string_view text, std::string_view sub, TextPos start) {
  const bool ignore_case = start < 0;
  if (ignore_case) start = -start;
  if (text.empty() || sub.empty() || start < 1 || start > Length(text)) return 0;
  const std::size_t from = static_cast<std::size_t>(start - 1);
  if (!ignore_case && !HasWildcard(sub)) return PosFrom(text, sub, start);
  const WildMatcher matcher(sub, ignore_case);
  const WildMatcher::Found found = matcher.FindFrom(text, from);
  return found.start == std::string::npos ? 0 : ToPos(found.start);
}

TextPos PosWildBack(std::string_view text, std::string_view sub, TextPos limit) {
  const bool ignore_case = limit < 0;
  if (ignore_case) limit = -limit;
  if (text.empty() || sub.empty()) return 0;
  const std::size_t end =
      (limit == 0 || limit > Length(text)) ? text.size() : static_cast<std::size_t>(limit);
  const std::string_view window = text.substr(0, end);
  if (!ignore_case && !HasWildcard(sub)) {
    const std::size_t found = window.rfind(sub);
    return found == std::string_view::npos ? 0 : ToPos(found);
  }
  // Matches may differ in length, so every candidate start is tried from the back; the
  // match must fit inside the window.
  // Matching runs on the whole text so that a character is never cut at the limit.
  const WildMatcher matcher(sub, ignore_case);
  for (std::size_t at = end; at-- > 0;) {
    if (!matcher.IsCandidate(text, at)) continue;
    const std::size_t length = matcher.MatchAt(text, at);
    if (length != std::string::npos && at + length <= end) return ToPos(at);
  }
  return 0;
}

TextPos CharPos(std::string_view text, char ch, TextPos start) {
  if (start < 1) start = 1;
  if (start > Length(text) || text.empty()) return 0;
  const std::size_t found = text.find(ch, static_cast<std::size_t>(start - 1));
  return found == std::string_view::npos ? 0 : ToPos(found);
}

TextPos CharPosBack(std::string_view text, char ch, TextPos limit) {
  if (text.empty()) return 0;
  const std::size_t end =
      (limit <= 0 || limit > Length(text)) ? text.size() : static_cast<std::size_t>(limit);
  const std::size_t found = text.substr(0, end).rfind(ch);
  return found == std::string_view::npos ? 0 : ToPos(found);
}

std::size_t CharCount(std::string_view text, char ch, TextPos start) {
  if (start < 1) start = 1;
  if (text.empty() || start > Length(text)) return 0;
  const std::string_view rest = text.substr(static_cast<std::size_t>(start - 1));
  return static_cast<std::size_t>(std::count(rest.begin(), rest.end(), ch));
}

TextPos CharSetPos(std::string_view text, std::string_view set, TextPos start) {
  if (start < 1) start = 1;
  if (text.empty() || set.empty() || start > Length(text)) return 0;
  const std::vector<char32_t> chars = CharsOf(set);
  for (std::size_t at = static_cast<std::size_t>(start - 1); at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    if (Contains(chars, ch.code)) return ToPos(at);
    at += ch.length;
  }
  return 0;
}

std::size_t ReplaceAll(std::string& text, std::string_view find, std::string_view repl,
                       bool ignore_case) {
  if (find.empty() || text.empty()) return 0;
  std::vector<std::pair<std::size_t, std::size_t>> matches;
  if (!ignore_case) {
    for (std::size_t at = text.find(find); at != std::string::npos;
         at = text.find(find, at + find.size())) {
      matches.emplace_back(at, find.size());
    }
  } else {
    const WildMatcher matcher(find, true);
    std::size_t at = 0;
    while (at < text.size()) {
      const WildMatcher::Found found = matcher.FindFrom(text, at);
      if (found.start == std::string::npos) break;
      matches.emplace_back(found.start, found.length);
      at = found.start + found.length;
    }
  }
  if (matches.empty()) return 0;
  text = Rebuild(text, matches, repl);
  return matches.size();
}

void ReplaceChars(std::string& text, std::string_view set, std::string_view replacement) {
  if (set.empty() || text.empty()) return;
  const std::vector<char32_t> chars = CharsOf(set);
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    if (Contains(chars, ch.code)) out.append(replacement);
    else out.append(text, at, ch.length);
    at += ch.length;
  }
  text = std::move(out);
}

void ReplaceChar(std::string& text, char from, char to) {
  if (static_cast<unsigned char>(from) >= 0x80 || static_cast<unsigned char>(to) >= 0x80) return;
  std::replace(text.begin(), text.end(), from, to);
}

std::string TrimCharLeft(std::string_view text, char ch) {
  const std::size_t first = text.find_first_not_of(ch);
  return first == std::string_view::npos ? std::string() : std::string(text.substr(first));
}

std::string TrimCharRight(std::string_view text, char ch) {
  const std::size_t last = text.find_last_not_of(ch);
  return last == std::string_view::npos ? std::string() : std::string(text.substr(0, last + 1));
}

void UpperPart(std::string& text, TextPos start, std::size_t count) {
  if (start < 1 || start > Length(text) || text.empty()) return;
  const std::size_t target = static_cast<std::size_t>(start - 1);
  // Step back to the first byte of the character holding the start position.
  std::size_t at = target;
  while (at > 0 && target - at < 3 && IsContinuationByte(static_cast<unsigned char>(text[at]))) --at;
  if (at + DecodeUtf8(text, at).length <= target) at = target;

  std::size_t end = at;
  std::size_t chars = 0;
  while (end < text.size() && (count == 0 || chars < count)) {
    end += DecodeUtf8(text, end).length;
    ++chars;
  }
  text.replace(at, end - at, UpperText(std::string_view(text).substr(at, end - at)));
}

std::string DigitsOnly(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (c >= '0' && c <= '9') digits.push_back(c);
  }
  return digits;
}

std::string FirstDigitRun(std::string_view text) {
  const std::size_t first = text.find_first_of("0123456789");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_first_not_of("0123456789", first);
  return std::string(text.substr(first, last == std::string_view::npos ? std::string_view::npos : last - first));
}

std::string_view TrimBlanksLeft(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && static_cast<unsigned char>(text[first]) <= ' ') ++first;
  return text.substr(first);
}

std::string_view TrimBlanksRight(std::string_view text) {
  std::size_t end = text.size();
  while (end > 0 && static_cast<unsigned char>(text[end - 1]) <= ' ') --end;
  return text.substr(0, end);
}

std::string_view TrimBlanks(std::string_view text) { return TrimBlanksRight(TrimBlanksLeft(text)); }

}  // namespace trawler::text
