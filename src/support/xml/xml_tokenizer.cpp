#include "support/xml/xml_tokenizer.h"

#include <algorithm>
#include <cstddef>

namespace trawler::xml {
namespace {

constexpr std::string_view kCDataOpen = "<![CDATA[";
constexpr std::string_view kCDataClose = "]]>";

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

bool IsLineBreakOrTab(char c) { return c == '\r' || c == '\n' || c == '\t'; }

// Length of the line break at text[i] (CR LF, CR or LF), 0 when none.
std::size_t LineBreakAt(std::string_view text, std::size_t i) {
  if (text[i] == '\n') return 1;
  if (text[i] != '\r') return 0;
  return i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
}

std::string_view Trimmed(std::string_view raw) {
  std::size_t begin = 0, end = raw.size();
  while (begin < end && IsBlank(raw[begin])) ++begin;
  while (end > begin && IsBlank(raw[end - 1])) --end;
  return raw.substr(begin, end - begin);
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

}  // namespace

// The raw text trimmed, each line break and each tab made one space. Most
// texts hold neither, and are then handed out as they stand in the source.
std::string_view TokenScanner::Normalized(std::string_view raw, bool &in_source) {
  const std::string_view trimmed = Trimmed(raw);
  if (std::none_of(trimmed.begin(), trimmed.end(), IsLineBreakOrTab)) {
    in_source = true;
    return trimmed;
  }
  in_source = false;
  FBuffer.clear();
  for (std::size_t i = 0; i < trimmed.size(); ++i) {
    const std::size_t line_break = LineBreakAt(trimmed, i);
    if (line_break > 0) {
      FBuffer += ' ';
      i += line_break - 1;
    } else {
      FBuffer += trimmed[i] == '\t' ? ' ' : trimmed[i];
    }
  }
  return FBuffer;
}

bool TokenScanner::TextToken(std::string_view raw, Token &token) {
  token.kind = TokenKind::kText;
  token.text = Normalized(raw, token.in_source);
  return !token.text.empty();
}

// CDATA keeps its content untrimmed; line breaks and tabs are written as
// visible escapes so that the one-line token can carry them. An unterminated
// section runs to the end of the text, which as a file's last line ends with
// a line break.
void TokenScanner::CDataToken(std::string_view raw, bool unterminated, Token &token) {
  token.kind = TokenKind::kCData;
  const bool add_final_break =
      unterminated && (FText.empty() || (FText.back() != '\r' && FText.back() != '\n'));
  if (!add_final_break && std::none_of(raw.begin(), raw.end(), IsLineBreakOrTab)) {
    token.text = raw;
    token.in_source = true;
    return;
  }
  FBuffer.clear();
  for (std::size_t i = 0; i < raw.size(); ++i) {
    const std::size_t line_break = LineBreakAt(raw, i);
    if (line_break > 0) {
      FBuffer += "\\n ";
      i += line_break - 1;
    } else if (raw[i] == '\t') {
      FBuffer += "\\t ";
    } else {
      FBuffer += raw[i];
    }
  }
  if (add_final_break) FBuffer += "\\n ";
  token.text = FBuffer;
  token.in_source = false;
}

void TokenScanner::TagToken(std::string_view raw, Token &token) {
  std::string_view tag = Normalized(raw, token.in_source);
  if (!tag.empty() && tag.front() == '/') {
    token.kind = TokenKind::kCloseTag;
    tag.remove_prefix(1);
  } else if (!tag.empty() && tag.back() == '/') {
    token.kind = TokenKind::kEmptyTag;
    tag.remove_suffix(1);
  } else {
    token.kind = TokenKind::kOpenTag;
  }
  token.text = tag;
}

bool TokenScanner::Next(Token &token) {
  while (FPos < FText.size()) {
    const std::size_t lt = FText.find('<', FPos);
    if (lt == std::string_view::npos) {
      const std::string_view rest = FText.substr(FPos);
      FPos = FText.size();
      return TextToken(rest, token);
    }
    if (lt > FPos) {
      const std::string_view before = FText.substr(FPos, lt - FPos);
      FPos = lt;
      if (TextToken(before, token)) return true;
    }

    if (StartsWithIgnoringAsciiCase(FText, lt, kCDataOpen)) {
      const std::size_t start = lt + kCDataOpen.size();
      const std::size_t end = FText.find(kCDataClose, start);
      if (end == std::string_view::npos) {
        CDataToken(FText.substr(start), true, token);
        FPos = FText.size();
      } else {
        CDataToken(FText.substr(start, end - start), false, token);
        FPos = end + kCDataClose.size();
      }
      return true;
    }

    const std::size_t gt = FText.find('>', lt + 1);
    if (gt == std::string_view::npos) {
      FPos = lt + 1;  // the stray "<" is dropped; what follows is text
      continue;
    }
    FPos = gt + 1;
    TagToken(FText.substr(lt + 1, gt - lt - 1), token);
    return true;
  }
  return false;
}

std::string_view MarkerOf(TokenKind kind) {
  switch (kind) {
    case TokenKind::kText: return kTextMarker;
    case TokenKind::kCData: return kCDataMarker;
    case TokenKind::kOpenTag: return kOpenTagMarker;
    case TokenKind::kCloseTag: return kCloseTagMarker;
    case TokenKind::kEmptyTag: return kEmptyTagMarker;
  }
  return kTextMarker;
}

std::vector<std::string> Tokenize(std::string_view text) {
  std::vector<std::string> tokens;
  TokenScanner scanner(text);
  Token token;
  while (scanner.Next(token)) {
    std::string entry;
    entry.reserve(3 + token.text.size());
    entry.append(MarkerOf(token.kind)).append(token.text);
    tokens.push_back(std::move(entry));
  }
  return tokens;
}

}  // namespace trawler::xml
