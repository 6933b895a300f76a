#include "support/xml/xml_tokenizer.h"

#include <algorithm>
#include <cstddef>

namespace trawler::xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Length of the line break at text[i] (CR LF, CR or LF), 0 when none.
std::size_t LineBreakAt(std::string_view text, std::size_t i) {
  if (text[i] == '\n') return 1;
  if (text[i] != '\r') return 0;
  return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
}

// Appends raw text to a token, each line break and each tab becoming one
// space, then trims the token's text (the part after the marker) in place.
void AppendNormalized(std::string &token, std::string_view raw) {
  std::size_t begin = 0, end = raw.size();
  while (begin < end && IsBlank(raw[begin])) ++begin;
  while (end > begin && IsBlank(raw[end - 1])) --end;
  for (std::size_t i = begin; i < end; ++i) {
    std::size_t line_break = LineBreakAt(raw, i);
    if (line_break > 0) {
      token += ' ';
      i += line_break - 1;
    } else {
      token += raw[i] == '\t' ? ' ' : raw[i];
    }
  }
}

// CDATA keeps its content untrimmed; line breaks and tabs are written as
// visible escapes so that the one-line token can carry them.
void AppendCData(std::string &token, std::string_view raw) {
  for (std::size_t i = 0; i < raw.size(); ++i) {
    std::size_t line_break = LineBreakAt(raw, i);
    if (line_break > 0) {
      token += "\\n ";
      i += line_break - 1;
    } else if (raw[i] == '\t') {
      token += "\\t ";
    } else {
      token += raw[i];
    }
  }
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::size_t at, std::string_view prefix) {
  if (text.size() - at < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    char a = text[at + i], b = prefix[i];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 'a' + 'A');
    if (b >= 'a' && b <= 'z') b = static_cast<char>(b - 'a' + 'A');
    if (a != b) return false;
  }
  return true;
}

std::string StartToken(std::string_view marker, std::size_t expected_length) {
  std::string token;
  token.reserve(marker.size() + expected_length);
  token.append(marker);
  return token;
}

void AddTextToken(std::vector<std::string> &tokens, std::string_view raw) {
  std::string token = StartToken(kTextMarker, raw.size());
  AppendNormalized(token, raw);
  if (token.size() > kTextMarker.size()) tokens.push_back(std::move(token));
}

void AddCDataToken(std::vector<std::string> &tokens, std::string_view raw) {
  std::string token = StartToken(kCDataMarker, raw.size());
  AppendCData(token, raw);
  tokens.push_back(std::move(token));
}

void AddTagToken(std::vector<std::string> &tokens, std::string_view raw) {
  std::string token = StartToken(kOpenTagMarker, raw.size());
  AppendNormalized(token, raw);
  std::string_view tag = std::string_view(token).substr(kOpenTagMarker.size());
  if (!tag.empty() && tag.front() == '/') {
    token.replace(0, kOpenTagMarker.size() + 1, kCloseTagMarker);
  } else if (!tag.empty() && tag.back() == '/') {
    token.pop_back();
    token.replace(0, kOpenTagMarker.size(), kEmptyTagMarker);
  }
  tokens.push_back(std::move(token));
}

}  // namespace

std::vector<std::string> Tokenize(std::string_view text) {
  std::vector<std::string> tokens;
  // Roughly one tag and one text per "<"; saves regrowing a large list.
  tokens.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '<')) * 2 + 1);
  std::size_t p = 0;
  while (p < text.size()) {
    std::size_t lt = text.find('<', p);
    if (lt == std::string_view::npos) {
      AddTextToken(tokens, text.substr(p));
      break;
    }
    AddTextToken(tokens, text.substr(p, lt - p));

    if (StartsWithIgnoringAsciiCase(text, lt, kCDataOpen)) {
      std::size_t start = lt + kCDataOpen.size();
      std::size_t end = text.find(kCDataClose, start);
      if (end == std::string_view::npos) {
        // The rest of the text, which as a file's last line ends with a line break.
        AddCDataToken(tokens, text.substr(start));
        if (text.back() != '\r' && text.back() != '\n') tokens.back() += "\\n ";
        break;
      }
      AddCDataToken(tokens, text.substr(start, end - start));
      p = end + kCDataClose.size();
      continue;
    }

    std::size_t gt = text.find('>', lt + 1);
    if (gt == std::string_view::npos) {
      p = lt + 1;  // the stray "<" is dropped; what follows is text
      continue;
    }
    AddTagToken(tokens, text.substr(lt + 1, gt - lt - 1));
    p = gt + 1;
  }
  return tokens;
}

}  // namespace trawler::xml
