// Feeds arbitrary bytes through both passes of the XML reader and both
// lookups; the reader must never crash, whatever the markup.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "support/xml/xml_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  std::string_view content(reinterpret_cast<const char *>(data), size);
  trawler::xml::TdewXMLTree tree;
  tree.LoadFromText(content);
  // Look up names that occur in typical documents and one taken from the input.
  for (std::string_view name : {"twr", "result", "date", "?xml", "caption"}) {
    trawler::xml::FindNode(tree, name);
    trawler::xml::FindElement(tree, name);
  }
  if (!tree.Children.empty()) {
    const std::string &name = tree.Children.back()->Name;
    if (trawler::xml::FindNode(tree, name) == nullptr) __builtin_trap();
    if (trawler::xml::FindElement(tree, name) == nullptr) __builtin_trap();
  }
  return 0;
}
