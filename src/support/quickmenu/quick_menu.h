// Quick-search templates: stored search set-ups (a title, a category and the
// site selection saved with it) offered as items of a menu.
//
// Each template is one numbered subkey of RegRootPath in the current user's
// hive: the default (unnamed) string value is its title, "Category" its
// category (a subkey without it is not a template) and the integer "Index"
// the number of templates when it was made. The site selection stored in the
// same subkey belongs to the category and selection code.
//
// The menu is an interface the window implements; clicks are tied to a
// template's key, so a click on an item whose template is gone does nothing.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace trawler::quickmenu {

// The submenu the templates fill.
class tQMMenu {
 public:
  virtual ~tQMMenu() = default;
  // Removes every item the list added.
  virtual void ClearItems() = 0;
  // Appends an item; newColumn starts a new column with it. Returns an id
  // other than 0 that names the item from then on.
  virtual int AddItem(const std::string& caption, bool newColumn, std::function<void()> onClick) = 0;
  virtual void SetItemCaption(int id, const std::string& caption) = 0;
  virtual void RemoveItem(int id) = 0;
};

enum TQMSortType { qmsTitle = 0, qmsCategory = 1 };

class tQMList;

class tQMItem {
 public:
  tQMItem(const tQMItem&) = delete;
  tQMItem& operator=(const tQMItem&) = delete;

  tQMList* Owner() const { return FOwner; }
  const std::string& Title() const { return FTitle; }
  const std::string& Category() const { return FCategory; }
  // RegRootPath + "\" + the subkey name.
  const std::string& KeyPath() const { return FKeyPath; }
  // The id of the menu item made for it, 0 when none.
  int MenuItem() const { return FMenuItem; }
  // The stored "Index" value, -1 when absent.
  int Index() const { return FIndex; }

  // Stores the title, writes it to the key when the key exists, and shows it
  // on the menu item.
  void SetTitle(const std::string& title);
  // Stores the category and writes it to the key when the key exists; the
  // menu shows it from the next Reload.
  void SetCategory(const std::string& category);

 private:
  friend class tQMList;
  tQMItem(tQMList& owner, std::string keyPath) : FOwner(&owner), FKeyPath(std::move(keyPath)) {}
  // Reads title, category and index from the key; false when the key cannot
  // be opened or holds no category.
  bool ReadFromKey();

  tQMList* FOwner;
  std::string FTitle;
  std::string FCategory;
  std::string FKeyPath;
  int FMenuItem = 0;
  int FIndex = -1;
};

// The caption of a template's menu item: title + " (" + category + ")".
std::string QMCaption(const std::string& title, const std::string& category);

class tQMList {
 public:
  static constexpr const char* kMainRegRootPath = "\\software\\Oxbow\\Trawler\\quicksearch";
  // Tries of MakeUniqueTitle: title + " 1" to title + " 1023".
  static constexpr int kUniqueTitleTries = 1023;

  explicit tQMList(platform::RegistryStore& store);
  ~tQMList();
  tQMList(const tQMList&) = delete;
  tQMList& operator=(const tQMList&) = delete;

  platform::RegistryStore& Store() const { return FStore; }

  // The menu the templates fill (not owned); none builds no menu.
  tQMMenu* ParentMenuItem = nullptr;
  std::string RegRootPath;
  // Items per menu column; 0 or less means one column.
  int ItemsInMenu = 0;
  // Called with the template whose menu item was clicked.
  std::function<void(tQMItem&)> OnClickMenu;

  TQMSortType SortType() const { return FSortType; }
  // Sets the sort type and reloads.
  void SetSortType(TQMSortType type);

  int Count() const { return static_cast<int>(FItems.size()); }
  // The template at index, or none outside the list.
  tQMItem* Items(int index) const;
  int IndexOf(const tQMItem* item) const;

  // Reads every template from the registry, sorts them and rebuilds the menu.
  void Reload();
  // Creates a template under the first free number from 0 with category "0"
  // and appends its menu item (no sorting); none when it cannot be stored.
  tQMItem* AddTemplate(const std::string& title);
  // When a template has exactly this title, changes title to the first of
  // title + " 1" ... title + " 1023" that none has; false (title unchanged)
  // when every one is taken.
  bool MakeUniqueTitle(std::string& title) const;
  // Removes the template, its menu item and its key with everything in it.
  void DeleteTemplate(tQMItem* item);
  // The first template with exactly this title (case matters), or none.
  tQMItem* FindTemplate(const std::string& title) const;
  // The template stored under keyPath (ignoring case), or none.
  tQMItem* FindByKey(const std::string& keyPath) const;

 private:
  void Sort();
  void BuildMenu();
  void AddMenuItem(tQMItem& item, int position);
  void Clicked(const std::string& keyPath);

  platform::RegistryStore& FStore;
  TQMSortType FSortType = qmsTitle;
  std::vector<std::unique_ptr<tQMItem>> FItems;
};

}  // namespace trawler::quickmenu
