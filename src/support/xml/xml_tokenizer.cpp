#include "support/xml/xml_tokenizer.h"

#include <cstddef>

#include "support/text/string_toolkit.h"

namespace trawler::xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";


// Text and tag texts never hold line breaks or tabs: each CR LF and each tab
// becomes one space, and the result is trimmed.
std::string Normalize(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
      out += ' ';
      ++i;
    } else if (c == '\t') {
      out += ' ';
    } else {
      out += c;
    }
  }
  return std::string(text::TrimBlanks(out));
}

// CDATA keeps its content untrimmed; line breaks and tabs are written as
// visible escapes so that the one-line token can carry them.
std::string EscapeCData(std::string_view raw) {
  std::string out;
  out.reserve(raw.size());
  for (std::size_t i = 0; i < raw.size(); ++i) {
    char c = raw[i];
    if (c == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') {
      out += "\\n ";
      ++i;
    } else if (c == '\t') {
      out += "\\t ";
    } else {
      out += c;
    }
  }
  return out;
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

void AddToken(std::vector<std::string> &tokens, std::string_view marker, std::string_view text) {
  std::string token;
  token.reserve(marker.size() + text.size());
  token.append(marker).append(text);
  tokens.push_back(std::move(token));
}

void AddTextToken(std::vector<std::string> &tokens, std::string_view raw) {
  std::string text = Normalize(raw);
  if (!text.empty()) AddToken(tokens, kTextMarker, text);
}

}  // namespace

std::string JoinLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 32 + 2);
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r') {
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
      out += "\r\n";
    } else if (c == '\n') {
      out += "\r\n";
    } else {
      out += c;
    }
  }
  if (!text.empty() && text.back() != '\r' && text.back() != '\n') out += "\r\n";
  return out;
}

std::vector<std::string> Tokenize(std::string_view joined) {
  std::vector<std::string> tokens;
  std::size_t p = 0;
  while (p < joined.size()) {
    std::size_t lt = joined.find('<', p);
    if (lt == std::string_view::npos) {
      AddTextToken(tokens, joined.substr(p));
      break;
    }
    AddTextToken(tokens, joined.substr(p, lt - p));

    if (StartsWithIgnoringAsciiCase(joined, lt, kCDataOpen)) {
      std::size_t start = lt + kCDataOpen.size();
      std::size_t end = joined.find(kCDataClose, start);
      if (end == std::string_view::npos) {
        AddToken(tokens, kCDataMarker, EscapeCData(joined.substr(start)));
        break;
      }
      AddToken(tokens, kCDataMarker, EscapeCData(joined.substr(start, end - start)));
      p = end + kCDataClose.size();
      continue;
    }

    std::size_t gt = joined.find('>', lt + 1);
    if (gt == std::string_view::npos) {
      p = lt + 1;  // the stray "<" is dropped; what follows is text
      continue;
    }
    std::string tag = Normalize(joined.substr(lt + 1, gt - lt - 1));
    if (!tag.empty() && tag.front() == '/') {
      AddToken(tokens, kCloseTagMarker, std::string_view(tag).substr(1));
    } else if (!tag.empty() && tag.back() == '/') {
      tag.pop_back();
      AddToken(tokens, kEmptyTagMarker, tag);
    } else {
      AddToken(tokens, kOpenTagMarker, tag);
    }
    p = gt + 1;
  }
  return tokens;
}

}  // namespace trawler::xml
