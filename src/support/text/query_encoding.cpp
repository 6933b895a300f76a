#include "support/text/query_encoding.h"

namespace trawler::text {

namespace {

constexpr char kHexDigits[] = "0123456789ABCDEF";

void AppendEscaped(std::string& out, unsigned char byte) {
  out.push_back('%');
  out.push_back(kHexDigits[byte >> 4]);
  out.push_back(kHexDigits[byte & 0x0F]);
}

}  // namespace

std::string EncodeQueryValue(std::string_view text) {
  // The characters that would end or split a parameter are escaped; none of the escapes
  // contains a character of the set, so one pass gives the same result as one replacement
  // per character.
  std::string out;
  out.reserve(text.size() + text.size() / 4);
  for (const char c : text) {
    switch (c) {
      case '+': case ';': case '&': case '|': case '!': case ',': case '\'': case '#':
      case '/': case '\\': case '?':
        AppendEscaped(out, static_cast<unsigned char>(c));
        break;
      case ' ':
        out.push_back('+');
        break;
      default:
        out.push_back(c);
    }
  }
  return out;
}

std::string PercentEncode(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte >= 0x80 || byte < '!' || byte == '=' || byte == '"') {
      AppendEscaped(out, byte);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string EncodeRequestValue(std::string_view value, CodePage page) {
  return PercentEncode(EncodeToCodePage(EncodeQueryValue(value), page, "%3F"));
}

}  // namespace trawler::text
