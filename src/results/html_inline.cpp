#include "results/html_inline.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <vector>

namespace trawler::results {

namespace {

constexpr std::array<std::string_view, 4> kPairedTags = {"b", "i", "em", "strong"};

bool IsAsciiAlpha(char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; }
bool IsAsciiAlnum(char c) { return std::isalnum(static_cast<unsigned char>(c)) != 0; }

std::string LowerAscii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// Length of a character reference at the start of text ("&amp;", "&#38;",
// "&#x26;"), 0 when there is none.
std::size_t ReferenceLength(std::string_view text) {
  if (text.size() < 3 || text[0] != '&') return 0;
  std::size_t i = 1;
  auto digits = [&](auto accept, std::size_t most) {
    const std::size_t start = i;
    while (i < text.size() && i - start < most && accept(text[i])) ++i;
    return i > start;
  };
  if (text[1] == '#') {
    i = 2;
    bool ok;
    if (i < text.size() && (text[i] == 'x' || text[i] == 'X')) {
      ++i;
      ok = digits([](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; }, 6);
    } else {
      ok = digits([](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }, 7);
    }
    return ok && i < text.size() && text[i] == ';' ? i + 1 : 0;
  }
  if (!IsAsciiAlpha(text[1])) return 0;
  const bool ok = digits(IsAsciiAlnum, 32);
  return ok && i < text.size() && text[i] == ';' ? i + 1 : 0;
}

class InlineWriter {
 public:
  void Text(char c) {
    switch (c) {
      case '<': FOut += "&lt;"; break;
      case '>': FOut += "&gt;"; break;
      case '"': FOut += "&quot;"; break;
      case '\'': FOut += "&#39;"; break;
      case '&': FOut += "&amp;"; break;
      default: FOut += c;
    }
  }
  void Raw(std::string_view s) { FOut += s; }
  void Space() {
    if (!FOut.empty() && FOut.back() != ' ') FOut += ' ';
  }
  void Tag(std::string_view body) {
    const bool closing = !body.empty() && body.front() == '/';
    if (closing) body.remove_prefix(1);
    std::size_t n = 0;
    while (n < body.size() && IsAsciiAlnum(body[n])) ++n;
    const std::string name = LowerAscii(body.substr(0, n));
    if (name == "br") {
      FOut += "<br>";
      return;
    }
    if (std::find(kPairedTags.begin(), kPairedTags.end(), name) == kPairedTags.end()) {
      Space();
      return;
    }
    if (!closing) {
      FOpen.push_back(name);
      FOut += "<" + name + ">";
      return;
    }
    auto at = std::find(FOpen.rbegin(), FOpen.rend(), name);
    if (at == FOpen.rend()) return;  // nothing to close
    const std::size_t keep = static_cast<std::size_t>(FOpen.rend() - at) - 1;
    CloseDownTo(keep);
  }
  std::string Finish() {
    CloseDownTo(0);
    return std::move(FOut);
  }

 private:
  void CloseDownTo(std::size_t keep) {
    while (FOpen.size() > keep) {
      FOut += "</" + FOpen.back() + ">";
      FOpen.pop_back();
    }
  }
  std::string FOut;
  std::vector<std::string> FOpen;
};

}  // namespace

std::string SafeInlineHtml(std::string_view html) {
  InlineWriter out;
  std::size_t i = 0;
  while (i < html.size()) {
    const char c = html[i];
    if (c == '<' && i + 1 < html.size() &&
        (IsAsciiAlpha(html[i + 1]) || html[i + 1] == '/' || html[i + 1] == '!' || html[i + 1] == '?')) {
      if (html.compare(i, 4, "<!--") == 0) {
        const std::size_t end = html.find("-->", i + 4);
        if (end != std::string_view::npos) {
          out.Space();
          i = end + 3;
          continue;
        }
      }
      const std::size_t end = html.find('>', i + 1);
      if (end != std::string_view::npos) {
        out.Tag(html.substr(i + 1, end - i - 1));
        i = end + 1;
        continue;
      }
    }
    if (c == '&') {
      if (const std::size_t length = ReferenceLength(html.substr(i, 48))) {
        out.Raw(html.substr(i, length));
        i += length;
        continue;
      }
    }
    if (c == '\r' || c == '\n') {
      out.Raw("<br>");
      i += (c == '\r' && i + 1 < html.size() && html[i + 1] == '\n') ? 2 : 1;
      continue;
    }
    out.Text(c);
    ++i;
  }
  return out.Finish();
}

bool IsLinkableUrl(std::string_view url) {
  const std::size_t colon = url.find(':');
  if (colon == std::string_view::npos) return false;
  const std::string scheme = LowerAscii(url.substr(0, colon));
  return scheme == "http" || scheme == "https" || scheme == "ftp" || scheme == "mailto";
}

}  // namespace trawler::results
