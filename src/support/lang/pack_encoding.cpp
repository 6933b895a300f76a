#include "support/lang/pack_encoding.h"

#include <iconv.h>

#include <cerrno>
#include <string>

#include "support/text/utf8.h"

namespace trawler::lang {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

class IconvHandle {
 public:
  explicit IconvHandle(const std::string &from) : handle_(iconv_open("UTF-8", from.c_str())) {}
  ~IconvHandle() {
    if (ok()) iconv_close(handle_);
  }
  IconvHandle(const IconvHandle &) = delete;
  IconvHandle &operator=(const IconvHandle &) = delete;
  bool ok() const { return handle_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t get() const { return handle_; }

 private:
  iconv_t handle_;
};

}  // namespace

int CodePageOfCharset(int charset) {
  switch (charset) {
    case 128: return 932;   // Shift-JIS
    case 129: return 949;   // Hangul
    case 134: return 936;   // GB2312
    case 136: return 950;   // Big5
    case 161: return 1253;  // Greek
    case 162: return 1254;  // Turkish
    case 163: return 1258;  // Vietnamese
    case 177: return 1255;  // Hebrew
    case 178: return 1256;  // Arabic
    case 186: return 1257;  // Baltic
    case 204: return 1251;  // Cyrillic
    case 222: return 874;   // Thai
    case 238: return 1250;  // Central European
    default: return 0;  // ANSI, default, symbol, OEM: the legacy code page decides
  }
}

std::string DecodeCodePage(std::string_view bytes, int codePage) {
  IconvHandle converter("CP" + std::to_string(codePage));
  if (!converter.ok()) {
    if (codePage == 1252) return std::string(bytes);  // cannot happen with glibc; keep bytes
    return DecodeCodePage(bytes, 1252);
  }
  std::string out;
  out.reserve(bytes.size() * 2);
  char buffer[4096];
  char *in = const_cast<char *>(bytes.data());
  std::size_t in_left = bytes.size();
  while (in_left > 0) {
    char *out_ptr = buffer;
    std::size_t out_left = sizeof buffer;
    std::size_t done = iconv(converter.get(), &in, &in_left, &out_ptr, &out_left);
    out.append(buffer, static_cast<std::size_t>(out_ptr - buffer));
    if (done != static_cast<std::size_t>(-1)) continue;
    if (errno == E2BIG) continue;
    // An undefined byte or an incomplete multibyte sequence: mark it and go on.
    out += kReplacement;
    ++in;
    --in_left;
    iconv(converter.get(), nullptr, nullptr, nullptr, nullptr);
  }
  return out;
}

std::string DecodePackText(std::string_view bytes, int charset, int legacyCodePage) {
  bytes = text::StripUtf8Bom(bytes);
  if (text::IsValidUtf8(bytes)) return std::string(bytes);
  int codePage = CodePageOfCharset(charset);
  if (codePage == 0) codePage = legacyCodePage;
  return DecodeCodePage(bytes, codePage);
}

}  // namespace trawler::lang
