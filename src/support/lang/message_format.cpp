#include "support/lang/message_format.h"

namespace trawler::lang {

std::string FormatMessage(std::string_view pattern, std::initializer_list<MessageArg> args) {
  std::string out;
  out.reserve(pattern.size() + 32);
  auto next = args.begin();
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    char c = pattern[i];
    if (c != '%' || i + 1 >= pattern.size()) {
      out += c;
      continue;
    }
    char kind = pattern[i + 1];
    if (kind == '%') {
      out += '%';
      ++i;
    } else if (kind == 's' || kind == 'd') {
      if (next != args.end()) out += (next++)->Text();
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace trawler::lang
