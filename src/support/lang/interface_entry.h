#pragma once

// The syntax of an interface entry: «caption#hint», where the caption may
// carry list items as «caption%%item%item%» or only «item%item%».

#include <string>
#include <string_view>
#include <vector>

namespace trawler::lang {

struct InterfaceEntry {
  std::string Caption;  // keeps "&" as the accelerator mark; empty = keep the control's own
  std::string Hint;     // every "&" removed
  std::string Items;    // the item texts, each ended by "%"
};

// Splits a whole entry (format already applied). Without "#" the hint is the
// whole entry; a caption with "%" but no "%%" is all items.
InterfaceEntry SplitInterfaceEntry(std::string_view entry);

// The texts of an items part, each trimmed; a last text not ended by "%"
// is not an item.
std::vector<std::string> SplitItems(std::string_view items);

}  // namespace trawler::lang
