#include "support/lang/lang_format.h"

#include <algorithm>

#include "support/lang/lang_text.h"
#include "support/text/case_folding.h"

namespace trawler::lang {

std::string ApplyFormat(std::string_view text, const tALangFormat *format) {
  if (format == nullptr) return std::string(text);
  const std::vector<std::string_view> table_in = SplitCharacters(format->TableIn);
  const std::vector<std::string_view> table_out = SplitCharacters(format->TableOut);
  std::string out;
  out.reserve(text.size());
  for (std::string_view c : SplitCharacters(text)) {
    auto in = std::find(table_in.begin(), table_in.end(), c);
    if (in != table_in.end()) {
      std::size_t position = static_cast<std::size_t>(in - table_in.begin());
      out += position < table_out.size() ? table_out[position] : c;
      continue;
    }
    auto symbol = std::find_if(format->Symbols.begin(), format->Symbols.end(),
                               [&](const auto &s) { return text::SameTextIgnoreCase(s.first, c); });
    if (symbol != format->Symbols.end())
      out += symbol->second;
    else
      out += c;
  }
  return out;
}

}  // namespace trawler::lang
