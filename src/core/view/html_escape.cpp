#include "core/view/html_escape.h"

namespace trawler::core::view {

namespace {

std::string Escape(std::string_view text, bool quotes) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"':
        if (quotes) out += "&quot;"; else out += c;
        break;
      case '\'':
        if (quotes) out += "&#39;"; else out += c;
        break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::string EscapeHtmlText(std::string_view text) { return Escape(text, false); }

std::string EscapeHtmlAttribute(std::string_view text) { return Escape(text, true); }

}  // namespace trawler::core::view
