// The stored expression templates of the extractor: named regular
// expressions, one numbered registry subkey each, in the current user's hive.
//
// Layout under BaseKey: subkeys "0", "1", ...; in each the default (unnamed)
// string value is the template's name and "Expression" its expression. A
// subkey without a name or an expression is not a template, but its number
// stays taken. A store opened for the first time gets five useful templates.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry.h"

namespace trawler::results {

class tExprList;

class tExprItem {
 public:
  tExprItem(const tExprItem&) = delete;
  tExprItem& operator=(const tExprItem&) = delete;

  tExprList* Owner() const { return FOwner; }

  std::string Name;
  std::string Expression;
  // Full registry path of the item's key; empty until it is first saved.
  std::string ItemKey;

  // Takes Name and Expression from the item's key, each only when its value
  // exists; does nothing without a key.
  void Read();
  // Writes Name and Expression under the item's key, giving it the next free
  // number first when it has none; false when the key cannot be opened or a
  // value cannot be written.
  bool Save();

 private:
  friend class tExprList;
  explicit tExprItem(tExprList& owner) : FOwner(&owner) {}
  tExprList* FOwner;
};

class tExprList {
 public:
  static constexpr std::string_view kDefaultBaseKey = "\\software\\oxbow\\trawler\\regexp";
  // The renumbering threshold: a store whose largest number is above it is
  // rewritten under "0", "1", ... when loaded.
  static constexpr long long kRenumberAbove = 1024;

  explicit tExprList(platform::RegistryStore& store,
                     std::string baseKey = std::string(kDefaultBaseKey));
  ~tExprList();
  tExprList(const tExprList&) = delete;
  tExprList& operator=(const tExprList&) = delete;

  platform::RegistryStore& Store() const { return FStore; }
  std::string BaseKey;

  // Reads the templates (writing the defaults first when the store key is
  // missing); see expr_list.cpp for the renumbering of a store that grew far.
  void Load();
  // Writes the five default templates under "0" to "4".
  void WriteDefaults();
  // Frees every item, last first.
  void Clear();

  int Count() const { return static_cast<int>(FItems.size()); }
  // The item at index, or none outside the list.
  tExprItem* Items(int index) const;
  int IndexOf(const tExprItem* item) const;
  // A new empty item at the end of the list.
  tExprItem& NewItem();
  // Frees one item of this list (it leaves the list); others are ignored.
  void FreeItem(tExprItem* item);
  // Gives the item the number after the largest one under BaseKey; always true.
  bool AssignKey(tExprItem& item);
  // Deletes the item's key with everything under it, then frees the item;
  // false (the item stays) for an index outside the list or when the key
  // cannot be deleted.
  bool Delete(int index);

 private:
  platform::RegistryStore& FStore;
  std::vector<std::unique_ptr<tExprItem>> FItems;
};

// A default template as written to a fresh store.
struct tExprDefault {
  std::string_view Name;
  std::string_view Expression;
};
extern const tExprDefault kExprDefaults[5];

// The number a template subkey name stands for: a decimal integer, anything
// else counting as 0.
long long ExprKeyNumber(std::string_view name);

}  // namespace trawler::results
