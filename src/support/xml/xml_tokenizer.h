#pragma once

// First pass of the forgiving XML reader: the text becomes a sequence of
// tokens, each of one kind (text, CDATA, opening, closing or empty-element
// tag) with its text. TokenScanner hands them out one at a time without
// keeping them; Tokenize lists them all as three-character kind markers
// followed by the token text.

#include <string>
#include <string_view>
#include <vector>

namespace trawler::xml {

inline constexpr std::string_view kTextMarker = "TX:";        // text between tags
inline constexpr std::string_view kCDataMarker = "CD:";       // content of a CDATA section
inline constexpr std::string_view kOpenTagMarker = "OT:";     // text between "<" and ">"
inline constexpr std::string_view kCloseTagMarker = "CT:";    // text after "</" up to ">"
inline constexpr std::string_view kEmptyTagMarker = "ET:";    // "<x/>" without the slash

enum class TokenKind { kText, kCData, kOpenTag, kCloseTag, kEmptyTag };

struct Token {
  TokenKind kind = TokenKind::kText;
  std::string_view text;
  // True when text lies within the scanned text itself (it then lives as
  // long as that); false when it was rewritten into the scanner's buffer,
  // which the next call to Next reuses.
  bool in_source = true;
};

// CR, LF and CR LF each end a line. Text and tag texts are trimmed, with
// every line break and tab made one space; CDATA content keeps its blanks,
// with line breaks written «\n » and tabs «\t ». Markup is never validated:
// a "<" without ">" is dropped, a CDATA section without "]]>" takes the rest
// of the text (its last line included). Blank text gives no token.
class TokenScanner {
 public:
  // The text must outlive the scanner.
  explicit TokenScanner(std::string_view text) : FText(text) {}

  // The next token, or false at the end of the text.
  bool Next(Token &token);

 private:
  bool TextToken(std::string_view raw, Token &token);
  void CDataToken(std::string_view raw, bool unterminated, Token &token);
  void TagToken(std::string_view raw, Token &token);
  std::string_view Normalized(std::string_view raw, bool &in_source);

  std::string_view FText;
  std::size_t FPos = 0;
  std::string FBuffer;
};

// Every token of a file's text as marker + text (the scanner's tokens listed).
std::vector<std::string> Tokenize(std::string_view text);

// The marker of a token kind.
std::string_view MarkerOf(TokenKind kind);

}  // namespace trawler::xml
