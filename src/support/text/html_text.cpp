#include "support/text/html_text.h"

#include <utility>

#include "support/text/numeric_references.h"
#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"

namespace trawler::text {

namespace {

// Entities and percent codes that result pages use in titles and snippets, applied one after
// the other, ignoring case. The order matters: "&amp;" comes after "&quot;", "&lt;" and
// "&gt;", so "&amp;lt;" stays "&lt;" instead of becoming "<"; "%20" comes before "%2520".
constexpr std::pair<std::string_view, std::string_view> kEntityReplacements[] = {
    {"&NBSP;", " "},     {"%5F", "_"}, {"%28", "("},
    {"#$A", ""},         {"%3F", "?"}, {"%29", ")"},
    {"&QUOT;", "\""},    {"%3D", "="}, {"%2A", "*"},
    {"&LT;", "<"},       {"%5B", "["}, {"%2B", "+"},
    {"&GT;", ">"},       {"%5D", "]"}, {"%3B", ";"},
    {"&COPY;", "©"},     {"%21", "!"}, {"%2C", ","},
    {"&AMP;", "&"},      {"%23", "#"}, {"%2D", "-"},
    {"&MIDDOT;", "·"},   {"%26", "&"}, {"%2E", "."},
    {"%3A", ":"},        {"%27", "'"}, {"%2F", "/"},
    {"%7E", "~"},        {"%20", " "},
    {"%2520", " "},
};

// Every tag ("<" up to the next ">") becomes one space and the blanks around it collapse;
// a "<" with no ">" after it ends the work and stays. Once a tag has been removed, the end
// of the text is trimmed too.
std::string CollapseTags(std::string_view text) {
  std::string out;
  bool removed_any = false;
  std::size_t pos = 0;
  while (true) {
    const std::size_t open = text.find('<', pos);
    if (open == std::string_view::npos) break;
    const std::size_t close = text.find('>', open + 1);
    if (close == std::string_view::npos) break;
    const std::string_view before = TrimBlanksRight(text.substr(pos, open - pos));
    if (!before.empty()) {
      if (!out.empty()) out.push_back(' ');
      out.append(before);
    }
    removed_any = true;
    pos = close + 1;
    while (pos < text.size() && static_cast<unsigned char>(text[pos]) <= ' ') ++pos;
  }
  if (!removed_any) return std::string(text);
  const std::string_view rest = TrimBlanksRight(text.substr(pos));
  if (!out.empty()) out.push_back(' ');
  out.append(rest);
  return out;
}

bool StartsWithAt(std::string_view text, std::size_t at, std::string_view prefix) {
  return text.substr(at, prefix.size()) == prefix;
}

// Case-insensitive comparison of an ASCII entity name.
bool EntityAt(std::string_view text, std::size_t at, std::string_view entity) {
  if (text.size() - at < entity.size()) return false;
  for (std::size_t i = 0; i < entity.size(); ++i) {
    char c = text[at + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 0x20);
    if (c != entity[i]) return false;
  }
  return true;
}

// Collapses every maximal run of LFs as repeated "LF LF becomes CR LF" would leave it.
std::string ReplaceLfRuns(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '\n') {
      out.push_back(text[i++]);
      continue;
    }
    std::size_t run = 0;
    while (i < text.size() && text[i] == '\n') ++run, ++i;
    if (run == 1) {
      out.push_back('\n');
    } else if (run % 2 == 0) {
      for (std::size_t k = 0; k < run / 2; ++k) out.append("\r\n");
    } else {
      for (std::size_t k = 0; k < (run - 3) / 2; ++k) out.append("\r\n");
      out.append("\r\r\n");
    }
  }
  return out;
}

// Collapses runs of CR LF to one and drops the spaces that follow a CR LF.
std::string CollapseCrLfRuns(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (!StartsWithAt(text, i, "\r\n")) {
      out.push_back(text[i++]);
      continue;
    }
    while (StartsWithAt(text, i, "\r\n")) i += 2;
    out.append("\r\n");
  }
  return out;
}

std::string DropSpacesAfterCrLf(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    if (!StartsWithAt(text, i, "\r\n")) {
      out.push_back(text[i++]);
      continue;
    }
    out.append("\r\n");
    i += 2;
    while (i < text.size() && text[i] == ' ') ++i;
  }
  return out;
}

// Whether an ASCII text occurs in text, ASCII letters compared ignoring case. A non-ASCII
// character never folds to an ASCII one, so this finds exactly what the full search would.
bool ContainsAsciiIgnoringCase(std::string_view text, std::string_view find) {
  auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c; };
  // Every text searched for here starts with a character that has no case ("&", "%", "#",
  // "<"), so its occurrences can be found with memchr.
  const char first = find[0];
  for (std::size_t at = text.find(first); at != std::string_view::npos; at = text.find(first, at + 1)) {
    if (text.size() - at < find.size()) return false;
    std::size_t i = 1;
    while (i < find.size() && lower(text[at + i]) == lower(find[i])) ++i;
    if (i == find.size()) return true;
  }
  return false;
}

std::string HighlightPiece(std::string piece, std::string_view words) {
  if (PosWild(piece, std::string("<b>").append(words).append("</b>"), -1) > 0) return piece;
  std::size_t start = 0;
  while (start <= words.size()) {
    std::size_t end = words.find(' ', start);
    if (end == std::string_view::npos) end = words.size();
    const std::string_view word = words.substr(start, end - start);
    start = end + 1;
    if (Utf8Length(word) <= 3) continue;
    const std::string bold = std::string("<b>").append(word).append("</b>");
    if (PosWild(piece, word, -1) > 0 && PosWild(piece, bold, -1) == 0) {
      ReplaceAll(piece, word, bold, true);
    }
  }
  return piece;
}

}  // namespace

// Removes CR LF pairs, then the remaining LFs, then tabs. One pass gives the same result:
// a CR goes exactly when a LF follows it in the original.
std::string RemoveLineBreaksAndTabs(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\n' || c == '\t') continue;
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out.push_back(c);
  }
  return out;
}

std::string HtmlToText(std::string_view html) {
  std::string text(html);
  // Most fields of a result page hold few or none of these texts. A quick scan for each one
  // keeps the result and spares compiling and running a full search for every pass.
  for (const auto& [find, replacement] : kEntityReplacements) {
    if (ContainsAsciiIgnoringCase(text, find)) ReplaceAll(text, find, replacement, true);
  }
  for (const std::string_view tag : {"<BR>", "<DD>", "</DD>"}) {
    if (ContainsAsciiIgnoringCase(text, tag)) ReplaceAll(text, tag, " ", true);
  }
  text = RemoveLineBreaksAndTabs(text);
  text = CollapseTags(text);
  text = detail::DecodeNumericReferences(text);
  return NormalizeLineBreaks(TrimBlanks(text));
}

std::string XmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&': out.append("&amp;"); break;
      case '"': out.append("&quot;"); break;
      case '<': out.append("&lt;"); break;
      case '>': out.append("&gt;"); break;
      case '\'': out.append("&apos;"); break;
      default: out.push_back(c);
    }
  }
  return out;
}

std::string XmlUnescape(std::string_view text) {
  // One pass is equivalent to decoding &quot; &lt; &gt; &apos; first and &amp; last: none of
  // the decoded characters can form a new entity, and "&amp;lt;" yields "&lt;" either way.
  static constexpr std::pair<std::string_view, char> kEntities[] = {
      {"&quot;", '"'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&apos;", '\''}, {"&amp;", '&'}};
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    bool decoded = false;
    if (text[i] == '&') {
      for (const auto& [entity, character] : kEntities) {
        if (EntityAt(text, i, entity)) {
          out.push_back(character);
          i += entity.size();
          decoded = true;
          break;
        }
      }
    }
    if (!decoded) out.push_back(text[i++]);
  }
  return out;
}

std::string NormalizeLineBreaks(std::string_view text) {
  // Every step below works on CR and LF only; most texts hold neither.
  if (text.find_first_of("\r\n") == std::string_view::npos) return std::string(text);
  std::string out(text);
  // CR CR becomes CR LF; one pass leaves no CR CR behind.
  ReplaceAll(out, "\r\r", "\r\n", false);
  out = ReplaceLfRuns(out);
  out = CollapseCrLfRuns(out);
  return DropSpacesAfterCrLf(out);
}

std::string HighlightWords(std::string_view html, std::string_view words) {
  std::string out;
  out.reserve(html.size() + html.size() / 8);
  std::size_t i = 0;
  while (i < html.size()) {
    if (html[i] == '<') {
      // A tag is copied unchanged; an unclosed one runs to the end.
      const std::size_t close = html.find('>', i);
      const std::size_t end = close == std::string_view::npos ? html.size() : close + 1;
      out.append(html.substr(i, end - i));
      i = end;
      continue;
    }
    std::size_t end = html.find('<', i);
    if (end == std::string_view::npos) end = html.size();
    out.append(HighlightPiece(std::string(html.substr(i, end - i)), words));
    i = end;
  }
  return out;
}

}  // namespace trawler::text
