#include "support/lang/interface_entry.h"

#include "support/text/string_toolkit.h"

namespace trawler::lang {

InterfaceEntry SplitInterfaceEntry(std::string_view entry) {
  entry = text::TrimBlanks(entry);
  InterfaceEntry result;
  std::size_t hash = entry.find('#');
  std::string_view caption = entry;
  std::string_view hint = entry;
  if (hash != std::string_view::npos) {
    caption = text::TrimBlanks(entry.substr(0, hash));
    hint = text::TrimBlanks(entry.substr(hash + 1));
  }
  std::size_t items_mark = caption.find("%%");
  if (items_mark != std::string_view::npos) {
    result.Items = std::string(caption.substr(items_mark + 2));
    caption = caption.substr(0, items_mark);
  } else if (caption.find('%') != std::string_view::npos) {
    result.Items = std::string(caption);
    caption = {};
  }
  result.Caption = std::string(caption);
  for (char c : hint)
    if (c != '&') result.Hint += c;
  return result;
}

std::vector<std::string> SplitItems(std::string_view items) {
  std::vector<std::string> texts;
  for (std::size_t end = items.find('%'); end != std::string_view::npos; end = items.find('%')) {
    texts.emplace_back(text::TrimBlanks(items.substr(0, end)));
    items.remove_prefix(end + 1);
  }
  return texts;
}

}  // namespace trawler::lang
