#include "support/text/code_pages.h"

#include <cstdlib>
#include <unordered_map>

#include "support/text/case_folding.h"
#include "support/text/code_page_tables.h"
#include "support/text/string_toolkit.h"
#include "support/text/utf8.h"

namespace trawler::text {

const std::string_view KoiToWinTable(detail::kKoiToWinBytes, sizeof detail::kKoiToWinBytes);
const std::string_view DosToWinTable(detail::kDosToWinBytes, sizeof detail::kDosToWinBytes);
const std::string_view WinToKoiTable(detail::kWinToKoiBytes, sizeof detail::kWinToKoiBytes);

namespace {

const std::array<char16_t, 128>* CharsOf(CodePage page) {
  switch (page) {
    case CodePage::kWindows1251: return &detail::kWindows1251Chars;
    case CodePage::kWindows1252: return &detail::kWindows1252Chars;
    case CodePage::kKoi8R: return &detail::kKoi8RChars;
    case CodePage::kCp866: return &detail::kCp866Chars;
    case CodePage::kUtf8: break;
  }
  return nullptr;
}

using ReverseMap = std::unordered_map<char32_t, unsigned char>;

ReverseMap BuildReverse(const std::array<char16_t, 128>& chars) {
  ReverseMap map;
  for (unsigned index = 0; index < 128; ++index) {
    if (chars[index] != kReplacementCharacter) map.emplace(chars[index], static_cast<unsigned char>(0x80 + index));
  }
  return map;
}

const ReverseMap& ReverseOf(CodePage page) {
  static const ReverseMap win1251 = BuildReverse(detail::kWindows1251Chars);
  static const ReverseMap win1252 = BuildReverse(detail::kWindows1252Chars);
  static const ReverseMap koi8r = BuildReverse(detail::kKoi8RChars);
  static const ReverseMap cp866 = BuildReverse(detail::kCp866Chars);
  switch (page) {
    case CodePage::kWindows1251: return win1251;
    case CodePage::kKoi8R: return koi8r;
    case CodePage::kCp866: return cp866;
    default: return win1252;
  }
}

// The Windows-1251 byte of a character, or -1 when the page lacks it.
int Windows1251ByteOf(char32_t code) {
  if (code < 0x80) return static_cast<int>(code);
  const ReverseMap& map = ReverseOf(CodePage::kWindows1251);
  const auto found = map.find(code);
  return found == map.end() ? -1 : found->second;
}

char32_t Windows1251Char(unsigned char byte) {
  return byte < 0x80 ? byte : detail::kWindows1251Chars[byte - 0x80];
}

CodePage g_legacy_code_page = CodePage::kWindows1252;

}  // namespace

std::optional<CodePage> CodePageFromLabel(std::string_view label) {
  label = TrimBlanks(label);
  while (!label.empty() && (label.front() == '"' || label.front() == '\'')) label.remove_prefix(1);
  while (!label.empty() && (label.back() == '"' || label.back() == '\'')) label.remove_suffix(1);
  const std::string name = LowerText(TrimBlanks(label));
  static const std::unordered_map<std::string, CodePage> labels = {
      {"utf-8", CodePage::kUtf8},          {"utf8", CodePage::kUtf8},
      {"unicode-1-1-utf-8", CodePage::kUtf8},
      {"windows-1251", CodePage::kWindows1251}, {"cp1251", CodePage::kWindows1251},
      {"x-cp1251", CodePage::kWindows1251},     {"win-1251", CodePage::kWindows1251},
      {"windows-1252", CodePage::kWindows1252}, {"cp1252", CodePage::kWindows1252},
      {"x-cp1252", CodePage::kWindows1252},     {"iso-8859-1", CodePage::kWindows1252},
      {"iso8859-1", CodePage::kWindows1252},    {"latin1", CodePage::kWindows1252},
      {"l1", CodePage::kWindows1252},           {"us-ascii", CodePage::kWindows1252},
      {"ascii", CodePage::kWindows1252},        {"koi8-r", CodePage::kKoi8R},
      {"koi8r", CodePage::kKoi8R},              {"koi8", CodePage::kKoi8R},
      {"cskoi8r", CodePage::kKoi8R},            {"ibm866", CodePage::kCp866},
      {"cp866", CodePage::kCp866},              {"866", CodePage::kCp866},
      {"csibm866", CodePage::kCp866},
  };
  const auto found = labels.find(name);
  if (found == labels.end()) return std::nullopt;
  return found->second;
}

std::string DecodeFromCodePage(std::string_view bytes, CodePage page) {
  const std::array<char16_t, 128>* chars = CharsOf(page);
  if (chars == nullptr) return MakeValidUtf8(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  for (const char c : bytes) {
    const unsigned char byte = static_cast<unsigned char>(c);
    if (byte < 0x80) out.push_back(c);
    else AppendUtf8(out, (*chars)[byte - 0x80]);
  }
  return out;
}

std::string EncodeToCodePage(std::string_view text, CodePage page, std::string_view unmappable) {
  if (page == CodePage::kUtf8) return std::string(text);
  const ReverseMap& map = ReverseOf(page);
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    at += ch.length;
    if (ch.code < 0x80) {
      out.push_back(static_cast<char>(ch.code));
      continue;
    }
    const auto found = map.find(ch.code);
    if (found == map.end()) out.append(unmappable);
    else out.push_back(static_cast<char>(found->second));
  }
  return out;
}

CodePage LegacyCodePage() { return g_legacy_code_page; }

void SetLegacyCodePage(CodePage page) {
  // UTF-8 is not a legacy page; text that is not valid UTF-8 must be read as something else.
  g_legacy_code_page = page == CodePage::kUtf8 ? CodePage::kWindows1252 : page;
}

CodePage LegacyCodePageForLocale(std::string_view locale_name) {
  if (locale_name.find("@latin") != std::string_view::npos) return CodePage::kWindows1252;
  const std::size_t end = locale_name.find_first_of("_.@-");
  const std::string language = LowerText(locale_name.substr(0, end));
  static constexpr std::string_view kCyrillic[] = {"ru", "uk", "be", "bg", "sr",
                                                    "mk", "kk", "ky", "tg", "mn"};
  for (const std::string_view candidate : kCyrillic) {
    if (language == candidate) return CodePage::kWindows1251;
  }
  return CodePage::kWindows1252;
}

CodePage LegacyCodePageFromEnvironment() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return LegacyCodePageForLocale(value);
  }
  return CodePage::kWindows1252;
}

std::string DecodeLegacy(std::string_view bytes) { return DecodeFromCodePage(bytes, LegacyCodePage()); }

std::string EncodeLegacy(std::string_view text) { return EncodeToCodePage(text, LegacyCodePage()); }

std::string DecodeUtf8OrLegacy(std::string_view bytes) {
  const std::string_view body = StripUtf8Bom(bytes);
  // A byte order mark declares UTF-8 even when a few bytes are broken.
  if (body.size() != bytes.size()) return MakeValidUtf8(body);
  if (IsValidUtf8(bytes)) return std::string(bytes);
  return DecodeLegacy(bytes);
}

std::string ConvertByTable(std::string_view text, std::string_view table) {
  const long length = static_cast<long>(table.size());
  const long first_converted = 256 - length;
  std::string out;
  out.reserve(text.size());
  for (std::size_t at = 0; at < text.size();) {
    const Utf8Char ch = DecodeUtf8(text, at);
    const int byte = IsStrayByte(ch.code) ? -1 : Windows1251ByteOf(ch.code);
    if (length > 0 && byte >= 0 && byte >= first_converted) {
      const unsigned char mapped = static_cast<unsigned char>(table[static_cast<std::size_t>(byte - first_converted)]);
      AppendUtf8(out, Windows1251Char(mapped));
    } else {
      out.append(text.substr(at, ch.length));
    }
    at += ch.length;
  }
  return out;
}

}  // namespace trawler::text
